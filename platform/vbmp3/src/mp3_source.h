// MPEG audio files as a Source.
#pragma once

#include <memory>
#include <string>

#include "decoder.h"

namespace vbmp3 {

// nullptr when libmpg123 finds no frames in the file.
std::unique_ptr<Source> openMp3Source(const std::string& path, SourceOpen mode);

}  // namespace vbmp3
