// Tag access through TagLib.
#pragma once

#include <string>

#include "file_kind.h"
#include "vbmp3.h"

namespace vbmp3 {

// Genre number of a tag without a genre, as ID3v1 stores it.
constexpr int kNoGenre = 255;

// Reads the file's tag (ID3v2, else ID3v1; RIFF INFO for WAV) into `out`.
// False when the file has no tag or cannot be read; `out` is then all zeros.
bool readTag(const std::string& path, TagInfo* out);
// The same for a file whose kind is already known.
bool readTag(const std::string& path, FileKind kind, TagInfo* out);

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

// Whether the ID3v2 tag at the start of the file (if any) is taken in whole: TagLib stops
// reading a tag at the first frame it cannot parse (a zero size, an invalid id, a size past
// the tag's end) and keeps only the frames before it, so a tag written back from what it
// read would lose the rest. False too when the tag runs past the end of the file.
bool id3v2ReadsWhole(const std::string& path);

// The year a tag's date text starts with (up to four digits), empty when it starts with
// anything else.
std::string yearOf(const std::string& text);

// Writes ID3v2.3 and/or ID3v1 into an MP3 file; false, with the file untouched, when it
// is not MPEG audio, cannot be written, or holds an ID3v2 tag that cannot be read whole
// (and ID3v2 is to be written).
bool writeTag(const std::string& path, const TagInfo& tag, bool id3v2, bool id3v1);

}  // namespace vbmp3
