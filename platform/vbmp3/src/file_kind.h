// What an audio file holds, judged from its bytes rather than its name: the one place that
// tells MPEG audio and PCM containers from everything else (FLAC, Ogg, Matroska, MP4, ...).
#pragma once

#include <cstdint>
#include <string>

namespace vbmp3 {

enum class FileKind {
  Mpeg,  // MPEG audio frames, after any ID3v2 tags and a little junk
  Wav,   // a RIFF, RF64 or Wave64 WAV container, for libsndfile
  Other,
};

// Other for a file that cannot be read. MPEG needs several consecutive frames that agree in
// version, layer and sampling rate (or every frame of a shorter file), starting within 64 KiB
// after the ID3v2 tags, and no other container's signature in front of them.
FileKind fileKind(const std::string& path);

}  // namespace vbmp3
