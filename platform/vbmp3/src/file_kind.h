// What an audio file holds, judged from its bytes rather than its name: the one place that
// tells MPEG audio and PCM containers from everything else (FLAC, Ogg, Matroska, MP4, ...).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vbmp3 {

enum class FileKind {
  Mpeg,  // MPEG audio frames, after any ID3v2 tags and a little junk
  Wav,   // a RIFF, RF64 or Wave64 WAV container, for libsndfile
  Other,
};

// Other for a file that cannot be read, is empty or is not a regular file (a FIFO is never opened to wait).
// MPEG needs several consecutive frames that agree in version, layer and sampling rate (or every frame of a
// shorter file), starting within 64 KiB after the ID3v2 tags, and no other container's signature in front of
// them.
FileKind fileKind(const std::string& path);

// The offset of the first of those frames in the open file `fd`, nullopt when it holds no MPEG
// audio. An ID3v2 tag declared to run past the end of the file counts as its 10-byte header.
std::optional<int64_t> mpegAudioStart(int fd);

}  // namespace vbmp3
