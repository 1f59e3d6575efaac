// Reading tags: ID3v2 (2.2-2.4) else ID3v1 for MP3, RIFF INFO (or an ID3v2 chunk) for WAV.
#include "tags.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2extendedheader.h>
#include <taglib/id3v2footer.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2synchdata.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/wavfile.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "c_api.h"
#include "file_kind.h"
#include "text.h"

namespace vbmp3 {
namespace {

using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

// TagLib reads Latin-1 byte for byte, so to8Bit(false) gives back the bytes in the file.
std::string fromLatin1Reading(const String& s) { return legacyToUtf8(s.to8Bit(false)); }

// A Latin-1 text frame's bytes, which TagLib splits into fields at each NUL.
std::string latin1Bytes(const TagLib::StringList& fields) {
  std::string bytes;
  for (const auto& field : fields) {
    if (!bytes.empty()) bytes += '\0';
    bytes += field.to8Bit(false);
  }
  return bytes;
}

std::string withoutByteOrderMark(std::string utf8) {
  return utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8.substr(3) : utf8;
}

std::string frameText(const ID3v2::Frame* frame) {
  if (const auto* text = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frame);
      text && text->textEncoding() == String::Latin1)
    return declaredLatin1ToUtf8(latin1Bytes(text->fieldList()));
  if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(frame);
      comment && comment->textEncoding() == String::Latin1)
    return declaredLatin1ToUtf8(comment->text().to8Bit(false));
  return withoutByteOrderMark(frame->toString().to8Bit(true));
}

std::string firstFrameText(const ID3v2::Tag& tag, const char* id) {
  const auto& frames = tag.frameListMap()[id];
  return frames.isEmpty() ? std::string() : frameText(frames.front());
}

// The comment without a description (others hold player data such as iTunNORM).
std::string commentText(const ID3v2::Tag& tag) {
  const auto& frames = tag.frameListMap()["COMM"];
  for (const auto* frame : frames)
    if (const auto* comment = dynamic_cast<const ID3v2::CommentsFrame*>(frame);
        comment && comment->description().isEmpty())
      return frameText(frame);
  return frames.isEmpty() ? std::string() : frameText(frames.front());
}

void setGenre(TagText& out, const Genre& genre) {
  out.genre = genre.number;
  out.genreName = genre.name;
}

void readGenre(const ID3v2::Tag& tag, TagText& out) {
  const auto& frames = tag.frameListMap()["TCON"];
  if (frames.isEmpty()) return;
  const auto* frame = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frames.front());
  if (!frame) return;
  for (const auto& field : frame->fieldList()) {
    if (field.isEmpty()) continue;
    const std::string text =
        frame->textEncoding() == String::Latin1 ? fromLatin1Reading(field) : field.to8Bit(true);
    setGenre(out, parseGenre(text));
    return;
  }
}

TagText fromId3v2(const ID3v2::Tag& tag) {
  TagText t;
  t.title = firstFrameText(tag, "TIT2");
  t.artist = firstFrameText(tag, "TPE1");
  t.album = firstFrameText(tag, "TALB");
  t.year = yearOf(firstFrameText(tag, "TDRC"));  // TagLib reads ID3v2.3's TYER as TDRC
  t.comment = commentText(tag);
  readGenre(tag, t);
  return t;
}

TagText fromId3v1(const TagLib::ID3v1::Tag& tag) {
  TagText t;
  t.title = fromLatin1Reading(tag.title());
  t.artist = fromLatin1Reading(tag.artist());
  t.album = fromLatin1Reading(tag.album());
  if (tag.year() > 0) t.year = std::to_string(tag.year());
  t.comment = fromLatin1Reading(tag.comment());
  t.genre = static_cast<int>(tag.genreNumber());
  t.genreName = genreName(t.genre);
  return t;
}

// RIFF INFO has no defined encoding; keep TagLib from decoding it so the bytes can be
// read as UTF-8, CP932 or Latin-1 like the other single-byte tags.
class RawInfoText : public TagLib::RIFF::Info::StringHandler {
 public:
  String parse(const TagLib::ByteVector& data) const override { return String(data, String::Latin1); }
};

TagText fromInfo(const TagLib::RIFF::Info::Tag& tag) {
  TagText t;
  t.title = fromLatin1Reading(tag.title());
  t.artist = fromLatin1Reading(tag.artist());
  t.album = fromLatin1Reading(tag.album());
  t.year = yearOf(fromLatin1Reading(tag.fieldText("ICRD")));
  t.comment = fromLatin1Reading(tag.comment());
  if (!tag.genre().isEmpty()) setGenre(t, parseGenre(fromLatin1Reading(tag.genre())));
  return t;
}

std::optional<TagText> readMp3(const std::string& path) {
  TagLib::MPEG::File file(path.c_str(), false);
  if (!file.isValid()) return std::nullopt;
  if (file.hasID3v2Tag() && !file.ID3v2Tag()->isEmpty()) {
    TagText t = fromId3v2(*file.ID3v2Tag());
    // ID3v2 has no name for the numbers beyond the table; ID3v1 keeps them.
    if (t.genre == kNoGenre && t.genreName.empty() && file.hasID3v1Tag()) {
      t.genre = static_cast<int>(file.ID3v1Tag()->genreNumber());
      t.genreName = genreName(t.genre);
    }
    return t;
  }
  if (file.hasID3v1Tag()) return fromId3v1(*file.ID3v1Tag());
  if (file.hasID3v2Tag()) return fromId3v2(*file.ID3v2Tag());
  return std::nullopt;
}

std::optional<TagText> readWav(const std::string& path) {
  static const RawInfoText rawInfoText;
  static const bool handlerSet = (TagLib::RIFF::Info::Tag::setStringHandler(&rawInfoText), true);
  (void)handlerSet;
  TagLib::RIFF::WAV::File file(path.c_str(), false);
  if (!file.isValid()) return std::nullopt;
  if (file.hasID3v2Tag() && !file.ID3v2Tag()->isEmpty()) return fromId3v2(*file.ID3v2Tag());
  if (file.hasInfoTag()) return fromInfo(*file.InfoTag());
  return std::nullopt;
}

void fill(const TagText& t, TagInfo* out) {
  copyField(out->title, sizeof out->title, t.title);
  copyField(out->artist, sizeof out->artist, t.artist);
  copyField(out->album, sizeof out->album, t.album);
  copyField(out->year, sizeof out->year, t.year);
  copyField(out->comment, sizeof out->comment, t.comment);
  out->genre = t.genre;
  copyField(out->genreName, sizeof out->genreName, t.genreName);
}

}  // namespace

std::string genreName(int number) { return TagLib::ID3v1::genre(number).to8Bit(true); }

Genre parseGenre(std::string text) {
  if (text.size() > 2 && text.front() == '(' && text.find(')') != std::string::npos) {
    const std::string inner = text.substr(1, text.find(')') - 1);
    const std::string rest = text.substr(text.find(')') + 1);
    text = !inner.empty() && inner.find_first_not_of("0123456789") == std::string::npos ? inner : rest;
  }
  if (!text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos &&
      std::stoi(text) <= 255)
    return {std::stoi(text), genreName(std::stoi(text))};
  return {genreNumber(text), text};
}

int genreNumber(const std::string& name) {
  const auto names = TagLib::ID3v1::genreList();
  const String wanted(name, String::UTF8);
  for (unsigned i = 0; i < names.size(); ++i)
    if (names[i].upper() == wanted.upper()) return static_cast<int>(i);
  return kNoGenre;
}

std::string yearOf(const std::string& text) {
  const size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
  return digits >= 1 && digits <= 4 ? text.substr(0, digits) : std::string();
}

bool id3v2ReadsWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[10];
  if (!in.read(head, sizeof head) || std::memcmp(head, "ID3", 3) != 0) return true;
  const ID3v2::Header header(TagLib::ByteVector(head, sizeof head));
  std::string body(header.tagSize(), '\0');
  if (!in.read(body.data(), static_cast<std::streamsize>(body.size()))) return false;
  // The same walk over the frames as TagLib's reader, with its own frame factory, so that
  // a frame counts as read exactly when TagLib reads it.
  TagLib::ByteVector data(body.data(), static_cast<unsigned>(body.size()));
  if (header.unsynchronisation() && header.majorVersion() <= 3) data = ID3v2::SynchData::decode(data);
  unsigned at = 0, end = data.size();
  if (header.extendedHeader()) {
    ID3v2::ExtendedHeader extended;
    extended.setData(data);
    if (extended.size() <= data.size()) at = extended.size();
  }
  if (header.footerPresent() && ID3v2::Footer::size() <= end) end -= ID3v2::Footer::size();
  const unsigned frameHeader = ID3v2::Frame::headerSize(header.majorVersion());
  while (at + frameHeader < end && data[at] != 0) {  // a NUL starts the padding
    const std::unique_ptr<ID3v2::Frame> frame(
        ID3v2::FrameFactory::instance()->createFrame(data.mid(at), &header));
    if (!frame || frame->size() == 0) return false;
    at += frameHeader + frame->size();
  }
  return true;
}

bool readTag(const std::string& path, TagInfo* out) { return readTag(path, fileKind(path), out); }

bool readTag(const std::string& path, FileKind kind, TagInfo* out) {
  std::memset(out, 0, sizeof *out);
  if (kind == FileKind::Other) return false;
  const auto text = kind == FileKind::Wav ? readWav(path) : readMp3(path);
  if (!text) return false;
  fill(*text, out);
  return true;
}

}  // namespace vbmp3

static int16_t fileTagInfo(const char* path, TagInfo* tag) {
  if (!path || !tag) return 0;
  std::memset(tag, 0, sizeof *tag);
  // The tag editor writes MP3 tags only, so it is only offered MP3 tags to edit, and only
  // tags it can write back without losing frames it never showed.
  if (vbmp3::fileKind(path) != vbmp3::FileKind::Mpeg || !vbmp3::id3v2ReadsWhole(path)) return 0;
  return vbmp3::readTag(path, vbmp3::FileKind::Mpeg, tag) ? 1 : 0;
}

static int16_t genreInfo(GenreInfo* info) {
  if (!info) return 0;
  const std::string name = vbmp3::genreName(info->genre);
  vbmp3::copyField(info->genreName, sizeof info->genreName, name);
  return name.empty() ? 0 : 1;
}

int16_t vbmp3_getFileTagInfoEX(const char* path, TagInfo* tag) {
  const int16_t result = vbmp3::guarded<int16_t>(0, [&] { return fileTagInfo(path, tag); });
  if (!result && tag) std::memset(tag, 0, sizeof *tag);  // also after a failure part-way
  return result;
}

int16_t vbmp3_getGenre(GenreInfo* info) {
  return vbmp3::guarded<int16_t>(0, [&] { return genreInfo(info); });
}
