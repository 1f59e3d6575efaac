// Tag access through TagLib.
#pragma once

#include <string>

#include "vbmp3.h"

namespace vbmp3 {

// Reads the file's tag (ID3v2, else ID3v1; RIFF INFO for WAV) into `out`.
// False when the file has no tag or cannot be read; `out` is then all zeros.
bool readTag(const std::string& path, TagInfo* out);

}  // namespace vbmp3
