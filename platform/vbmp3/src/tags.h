// Tag access through TagLib.
#pragma once

#include <string>

#include "vbmp3.h"

namespace vbmp3 {

// Genre number of a tag without a genre, as ID3v1 stores it.
constexpr int kNoGenre = 255;

// Reads the file's tag (ID3v2, else ID3v1; RIFF INFO for WAV) into `out`.
// False when the file has no tag or cannot be read; `out` is then all zeros.
bool readTag(const std::string& path, TagInfo* out);

// ID3v1 genre name for a number, empty when the table has none.
std::string genreName(int number);

// ID3v1 genre number for a name (any letter case), kNoGenre when the table lacks it.
int genreNumber(const std::string& name);

bool isRegularFile(const std::string& path);
bool isWav(const std::string& path);

}  // namespace vbmp3
