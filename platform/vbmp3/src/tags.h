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

// A tag's fields as UTF-8 text, between TagLib and a TagInfo.
struct TagText {
  std::string title, artist, album, year, comment;
  int genre = kNoGenre;
  std::string genreName;
};

struct Genre {
  int number = kNoGenre;
  std::string name;
};

// A genre as tags hold it: an ID3v1 number ("17", or "(17)" as ID3v2.3 writes it, where
// a "(17)" reference followed by a refinement name counts as 17) or a name.
Genre parseGenre(std::string text);

// ID3v1 genre name for a number, empty when the table has none.
std::string genreName(int number);

// ID3v1 genre number for a name (any letter case), kNoGenre when the table lacks it.
int genreNumber(const std::string& name);

// Writes ID3v2.3 and/or ID3v1 into an MP3 file; false, with the file untouched, when it
// is not a writable MP3.
bool writeTag(const std::string& path, const TagInfo& tag, bool id3v2, bool id3v1);

bool isRegularFile(const std::string& path);
bool isWav(const std::string& path);

}  // namespace vbmp3
