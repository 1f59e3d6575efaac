// Writing tags into MP3 files: ID3v2.3 and ID3v1, everything else in the file left as it is.
#include <sys/stat.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

#include "c_api.h"
#include "file_descriptor.h"
#include "file_kind.h"
#include "pending_file.h"
#include "tags.h"
#include "text.h"
#include "vbmp3.h"

namespace vbmp3 {
namespace {

using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

TagText fieldsOf(const TagInfo& tag) {
  TagText f;
  f.title = textFromField(tag.title, sizeof tag.title);
  f.artist = textFromField(tag.artist, sizeof tag.artist);
  f.album = textFromField(tag.album, sizeof tag.album);
  f.comment = textFromField(tag.comment, sizeof tag.comment);
  // Both tag versions hold a four-character year.
  char year[5];
  copyField(year, sizeof year, textFromField(tag.year, sizeof tag.year));
  f.year = year;
  f.genre = tag.genre >= 0 && tag.genre < kNoGenre ? tag.genre : kNoGenre;
  return f;
}

// Latin-1 frames are read back as CP932 when their bytes allow it, so anything beyond
// ASCII goes out as UTF-16, which every reader takes at its word.
String::Type encodingFor(const std::string& utf8) {
  const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; });
  return ascii ? String::Latin1 : String::UTF16;
}

void setTextFrame(ID3v2::Tag& tag, const char* id, const std::string& text) {
  tag.removeFrames(id);
  if (text.empty()) return;
  auto* frame = new ID3v2::TextIdentificationFrame(id, encodingFor(text));
  frame->setText(String(text, String::UTF8));
  tag.addFrame(frame);
}

// Replaces the comment without a description; described ones belong to other programs.
void setComment(ID3v2::Tag& tag, const std::string& text) {
  const TagLib::ByteVector id("COMM");
  const auto frames = tag.frameListMap()[id];
  for (auto* frame : frames)
    if (auto* comment = dynamic_cast<ID3v2::CommentsFrame*>(frame);
        comment && comment->description().isEmpty())
      tag.removeFrame(frame);
  if (text.empty()) return;
  auto* frame = new ID3v2::CommentsFrame(encodingFor(text));
  frame->setLanguage("XXX");  // unknown language
  frame->setText(String(text, String::UTF8));
  tag.addFrame(frame);
}

// A genre number goes in as an ID3v1 reference; numbers beyond the table have no meaning
// in ID3v2 and live in ID3v1 only. Without a number, a genre named in free text (which
// no number can express) stays as it is.
void setGenre(ID3v2::Tag& tag, int genre) {
  if (!genreName(genre).empty()) {
    setTextFrame(tag, "TCON", std::to_string(genre));
    return;
  }
  const auto& frames = tag.frameListMap()["TCON"];
  const Genre current = frames.isEmpty() ? Genre{} : parseGenre(frames.front()->toString().to8Bit(true));
  if (current.number != kNoGenre || current.name.empty()) tag.removeFrames("TCON");
}

void writeId3v2(ID3v2::Tag& tag, const TagText& f) {
  setTextFrame(tag, "TIT2", f.title);
  setTextFrame(tag, "TPE1", f.artist);
  setTextFrame(tag, "TALB", f.album);
  // TYER rather than TDRC: TagLib turns a TDRC shorter than four characters into nothing.
  tag.removeFrames("TDRC");
  setTextFrame(tag, "TYER", f.year);
  setComment(tag, f.comment);
  setGenre(tag, f.genre);
}

// ID3v1 holds CP932 bytes; TagLib writes a Latin-1 string's characters as those bytes.
String cp932Field(const std::string& utf8, size_t bytes) {
  return String(toCp932Lossy(utf8, bytes), String::Latin1);
}

void writeId3v1(TagLib::ID3v1::Tag& tag, const TagText& f) {
  tag.setTitle(cp932Field(f.title, 30));
  tag.setArtist(cp932Field(f.artist, 30));
  tag.setAlbum(cp932Field(f.album, 30));
  tag.setComment(cp932Field(f.comment, 28));  // the last two bytes hold the track number
  const bool numericYear = !f.year.empty() && f.year.find_first_not_of("0123456789") == std::string::npos;
  tag.setYear(numericYear ? static_cast<unsigned>(std::stoul(f.year)) : 0);
  tag.setGenreNumber(static_cast<unsigned>(f.genre));
}

bool isWritableMp3(TagLib::MPEG::File& file) {
  const auto* audio = file.audioProperties();
  return file.isValid() && audio && audio->sampleRate() > 0;
}

// The whole file, read through one descriptor; nothing when it cannot be read or is larger
// than TagLib's offsets reach.
std::optional<TagLib::ByteVector> readWhole(const std::string& path, struct stat& st) {
  const FileDescriptor fd(path);
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  TagLib::ByteVector bytes(static_cast<unsigned>(st.st_size), '\0');
  for (off_t at = 0; at < st.st_size;) {
    const ssize_t got = ::pread(fd.get(), bytes.data() + at, static_cast<size_t>(st.st_size - at), at);
    if (got <= 0) return std::nullopt;
    at += got;
  }
  return bytes;
}

// Puts `bytes` in the place of the file at `path`, keeping its mode and (where allowed)
// its owner. A reader that has the old file open keeps reading the old bytes.
bool replaceFile(const std::string& path, const TagLib::ByteVector& bytes, const struct stat& old) {
  PendingFile out(path);
  if (!out.ok() || ::fchmod(out.fd(), old.st_mode & 07777) != 0) return false;
  // Only root can give the file to another owner; anyone else's copy becomes their own.
  if (::fchown(out.fd(), old.st_uid, old.st_gid) != 0 && ::geteuid() == 0) return false;
  for (size_t at = 0; at < bytes.size();) {
    const ssize_t put = ::write(out.fd(), bytes.data() + at, bytes.size() - at);
    if (put <= 0) return false;
    at += static_cast<size_t>(put);
  }
  return out.commit();
}

}  // namespace

// TagLib edits a copy of the file in memory, which then replaces the file whole. Saving in
// place would move the audio whenever the tag outgrows its padding, under the feet of a
// player reading the file (the track playing, for instance), and a crash part-way would
// leave a broken file.
bool writeTag(const std::string& path, const TagInfo& tag, bool id3v2, bool id3v1) {
  if ((!id3v2 && !id3v1) || fileKind(path) != FileKind::Mpeg) return false;
  if (id3v2 && !id3v2ReadsWhole(path)) return false;
  std::error_code error;
  const std::string target = std::filesystem::canonical(path, error).string();  // a link's file
  if (error || ::access(target.c_str(), W_OK) != 0) return false;
  struct stat st {};
  std::optional<TagLib::ByteVector> bytes = readWhole(target, st);
  if (!bytes) return false;
  TagLib::ByteVectorStream stream(*bytes);
  bytes.reset();
  TagLib::MPEG::File file(&stream, ID3v2::FrameFactory::instance(), true);
  if (!isWritableMp3(file)) return false;
  const TagText fields = fieldsOf(tag);
  int which = 0;
  if (id3v2) {
    writeId3v2(*file.ID3v2Tag(true), fields);
    which |= TagLib::MPEG::File::ID3v2;
  }
  if (id3v1) {
    writeId3v1(*file.ID3v1Tag(true), fields);
    which |= TagLib::MPEG::File::ID3v1;
  }
  return file.save(which, TagLib::File::StripNone, ID3v2::v3, TagLib::File::DoNotDuplicate) &&
         replaceFile(target, *stream.data(), st);
}

}  // namespace vbmp3

static int16_t setTagInfo(const char* path, const TagInfo* tag, int32_t v2, int32_t v1) {
  if (!path || !tag) return 0;
  return vbmp3::writeTag(path, *tag, v2 != 0, v1 != 0) ? 1 : 0;
}

int16_t vbmp3_setTagInfoEX(const char* path, const TagInfo* tag, int32_t v2, int32_t v1) {
  return vbmp3::guarded<int16_t>(0, [&] { return setTagInfo(path, tag, v2, v1); });
}
