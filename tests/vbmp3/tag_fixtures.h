// Tagged and untagged MP3 files for the tag tests: real audio from sox and lame, tags
// built byte by byte or written by the id3v2 tool.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "audio_fixtures.h"
#include "vbmp3.h"

namespace tagfixtures {

using Bytes = std::vector<char>;

inline Bytes bytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline void append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

// Big-endian size; `bits` is 7 for the sync-safe sizes of ID3v2.4 and tag headers.
inline Bytes sizeBytes(size_t size, int count, int bits = 8) {
  Bytes out(count);
  for (int i = count - 1; i >= 0; --i, size >>= bits) out[i] = static_cast<char>(size & ((1u << bits) - 1));
  return out;
}

// A text frame: encoding byte then text. `id` has 3 letters for ID3v2.2, 4 otherwise.
struct Frame {
  std::string id;
  char encoding;  // 0 Latin-1, 1 UTF-16 with BOM, 3 UTF-8
  Bytes text;
};

inline Bytes id3v2Tag(int version, const std::vector<Frame>& frames) {
  Bytes body;
  for (const auto& f : frames) {
    Bytes payload{f.encoding};
    append(payload, f.text);
    append(body, bytes(f.id));
    if (version == 2) {
      append(body, sizeBytes(payload.size(), 3));
    } else {
      append(body, sizeBytes(payload.size(), 4, version == 4 ? 7 : 8));
      append(body, Bytes{0, 0});
    }
    append(body, payload);
  }
  Bytes tag = bytes("ID3");
  append(tag, Bytes{static_cast<char>(version), 0, 0});
  append(tag, sizeBytes(body.size(), 4, 7));
  append(tag, body);
  return tag;
}

// ID3v1 fields are raw bytes, so tests can put CP932 or Latin-1 in them.
inline Bytes id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                      const std::string& year, const std::string& comment, unsigned char genre) {
  Bytes tag(128, '\0');
  std::memcpy(tag.data(), "TAG", 3);
  auto put = [&](size_t at, const std::string& s, size_t n) {
    std::memcpy(&tag[at], s.data(), std::min(n, s.size()));
  };
  put(3, title, 30);
  put(33, artist, 30);
  put(63, album, 30);
  put(93, year, 4);
  put(97, comment, 30);
  tag[127] = static_cast<char>(genre);
  return tag;
}

// The bytes between the ID3v2 tag at the start and the ID3v1 tag at the end.
inline Bytes audioBytes(const std::string& path) {
  Bytes all = fixtures::readBytes(path);
  size_t begin = 0, end = all.size();
  if (all.size() >= 10 && std::memcmp(all.data(), "ID3", 3) == 0) {
    size_t size = 0;
    for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(all[i]) & 0x7F);
    begin = 10 + size + ((all[5] & 0x10) ? 10 : 0);
  }
  if (end >= begin + 128 && std::memcmp(&all[end - 128], "TAG", 3) == 0) end -= 128;
  return Bytes(all.begin() + static_cast<long>(std::min(begin, end)), all.begin() + static_cast<long>(end));
}

inline std::string utf8ToCp932(const std::string& s) {
  std::string out;
  FILE* p = popen(("printf '%s' " + fixtures::quote(s) + " | iconv -f UTF-8 -t CP932").c_str(), "r");
  for (int c; (c = fgetc(p)) != EOF;) out += static_cast<char>(c);
  pclose(p);
  return out;
}

// Output of a command, stdout only.
inline std::string output(const std::string& command) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

// `id3v2 -l` in a UTF-8 locale, so it prints UTF-16 frames as UTF-8.
inline std::string id3v2List(const std::string& path) {
  return output("LC_ALL=C.UTF-8 id3v2 -l " + fixtures::quote(path) + " 2>&1");
}

struct ReadResult {
  int16_t rc;
  TagInfo tag;
  std::string title() const { return tag.title; }
  std::string artist() const { return tag.artist; }
  std::string album() const { return tag.album; }
  std::string year() const { return tag.year; }
  std::string comment() const { return tag.comment; }
  std::string genreName() const { return tag.genreName; }
};

inline ReadResult readTagOf(const std::string& path) {
  ReadResult r{};
  std::memset(&r.tag, 0x5A, sizeof r.tag);  // must come back zeroed or filled
  r.rc = vbmp3_getFileTagInfoEX(path.c_str(), &r.tag);
  return r;
}

inline bool isZeroed(const TagInfo& tag) {
  const char* p = reinterpret_cast<const char*>(&tag);
  return std::all_of(p, p + sizeof tag, [](char c) { return c == 0; });
}

// One short MP3 without a tag, made once for all tests; each test copies it.
class TagTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    source_ = new fixtures::TempDir;
    ASSERT_TRUE(fixtures::makeWav(*source_ / "tone.wav", 0.3));
    ASSERT_TRUE(fixtures::makeMp3(*source_ / "tone.wav", *source_ / "tone.mp3"));
  }
  static void TearDownTestSuite() {
    delete source_;
    source_ = nullptr;
  }

  static std::string sourceWav() { return *source_ / "tone.wav"; }

  // A fresh copy of the untagged MP3, with `front` before and `back` after the audio.
  std::string mp3(const std::string& name = "song.mp3", const Bytes& front = {}, const Bytes& back = {}) {
    Bytes all = front;
    append(all, fixtures::readBytes(*source_ / "tone.mp3"));
    append(all, back);
    const std::string path = dir_ / name;
    fixtures::writeBytes(path, all);
    return path;
  }

  fixtures::TempDir dir_;

 private:
  static inline fixtures::TempDir* source_ = nullptr;
};

}  // namespace tagfixtures
