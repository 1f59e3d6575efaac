// What kind of audio a file holds, judged from its first bytes.
#pragma once

#include <string>

namespace vbmp3 {

enum class FileFormat {
  MpegAudio,     // MPEG audio frames, after any ID3v2 tags
  PcmContainer,  // RIFF/RF64 WAV, AIFF or AU: left to libsndfile
  Other,         // another container (FLAC, Ogg, Matroska, MP4, ...), unreadable or no audio
};

// A file counts as MPEG audio only when it carries no other container's signature and
// several frames of one stream follow each other within its first bytes after the ID3v2
// tags (fewer are enough when they end the file). A stray frame sync inside other data
// does not make a stream.
FileFormat sniffFormat(const std::string& path);

}  // namespace vbmp3
