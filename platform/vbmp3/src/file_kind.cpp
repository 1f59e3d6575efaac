#include "file_kind.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace vbmp3 {
namespace {

constexpr size_t kJunkBeforeFirstFrame = 64 * 1024;
constexpr size_t kLongestFrame = 2881;  // MPEG-2 layer II, 160 kbit/s at 8 kHz, padded
constexpr int kFramesNeeded = 4;

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  // Size of a regular file, -1 for anything else.
  off_t size() const {
    struct stat st {};
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : -1;
  }
  // Up to `count` bytes from `offset`; fewer at the end of the file.
  std::string read(off_t offset, size_t count) const {
    std::string bytes(count, '\0');
    size_t got = 0;
    while (got < count) {
      const ssize_t n = ::pread(fd_, bytes.data() + got, count - got, offset + static_cast<off_t>(got));
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    bytes.resize(got);
    return bytes;
  }

 private:
  int fd_;
};

struct MpegHeader {
  int version = 0;  // the header's version bits
  int layer = 0;
  int rate = 0;
  size_t length = 0;
};

std::optional<MpegHeader> mpegHeader(const std::string& data, size_t at) {
  if (at + 4 > data.size()) return std::nullopt;
  const auto* p = reinterpret_cast<const unsigned char*>(data.data() + at);
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return std::nullopt;
  const int versionBits = (p[1] >> 3) & 3, layerBits = (p[1] >> 1) & 3;
  const int bitRateIndex = p[2] >> 4, rateIndex = (p[2] >> 2) & 3, padding = (p[2] >> 1) & 1;
  // Free-format streams (bit rate index 0) have no length in their header.
  if (versionBits == 1 || layerBits == 0 || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3)
    return std::nullopt;
  static const int kbps[2][3][15] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
                                      {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
                                      {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
                                     {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
                                      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
                                      {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static const int rates[3] = {44100, 48000, 32000};
  const bool mpeg1 = versionBits == 3;
  MpegHeader h;
  h.version = versionBits;
  h.layer = 4 - layerBits;
  h.rate = rates[rateIndex] >> (mpeg1 ? 0 : versionBits == 2 ? 1 : 2);
  const long bitRate = kbps[mpeg1 ? 0 : 1][h.layer - 1][bitRateIndex] * 1000L;
  if (h.layer == 1)
    h.length = static_cast<size_t>((12 * bitRate / h.rate + padding) * 4);
  else
    h.length = static_cast<size_t>((h.layer == 3 && !mpeg1 ? 72 : 144) * bitRate / h.rate + padding);
  return h;
}

// Whether frames of one stream follow each other from `at`: kFramesNeeded of them, or
// fewer that end exactly at `audioEnd`.
bool framesFollow(const std::string& data, size_t at, size_t audioEnd) {
  const auto first = mpegHeader(data, at);
  if (!first) return false;
  for (int count = 0; count < kFramesNeeded; ++count) {
    if (count > 0 && at == audioEnd) return true;
    const auto h = mpegHeader(data, at);
    if (!h || h->version != first->version || h->layer != first->layer || h->rate != first->rate)
      return false;
    at += h->length;
  }
  return true;
}

// Offset just past the ID3v2 tags at the start of the file (some files hold several).
off_t skipId3v2Tags(const ReadOnlyFile& file, off_t fileSize) {
  off_t at = 0;
  for (;;) {
    const std::string h = file.read(at, 10);
    if (h.size() < 10 || h.compare(0, 3, "ID3") != 0) return at;
    off_t size = 0;
    for (int i = 6; i < 10; ++i) {
      if (h[i] & 0x80) return at;  // not a tag header after all
      size = (size << 7) | h[i];
    }
    const bool footer = (h[5] & 0x10) != 0;
    at += 10 + size + (footer ? 10 : 0);
    if (at >= fileSize) return fileSize;
  }
}

bool startsWith(const std::string& data, size_t at, const char* magic, size_t n) {
  return data.size() >= at + n && std::memcmp(data.data() + at, magic, n) == 0;
}

bool isPcmContainer(const std::string& head) {
  for (const char* magic : {"RIFF", "RIFX", "RF64", "riff", "FORM", ".snd", "dns."})
    if (startsWith(head, 0, magic, 4)) return true;
  return false;
}

// Signatures of the containers that may hold something that looks like MPEG frames.
bool isOtherContainer(const std::string& data) {
  static const std::pair<const char*, size_t> magics[] = {
      {"fLaC", 4}, {"OggS", 4},  {"\x1A\x45\xDF\xA3", 4},
      {"MAC ", 4}, {"wvpk", 4},  {"MPCK", 4},
      {"MP+", 3},  {"TTA1", 4},  {"caff", 4},
      {"ADIF", 4}, {"#!AMR", 5}, {"\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8},
      {"RIFF", 4}, {"FORM", 4}};
  for (const auto& [magic, n] : magics)
    if (startsWith(data, 0, magic, n)) return true;
  return startsWith(data, 4, "ftyp", 4);  // MP4, M4A, 3GP
}

}  // namespace

FileKind fileKind(const std::string& path) {
  const ReadOnlyFile file(path);
  const off_t size = file.size();
  if (size <= 0) return FileKind::Other;
  if (isPcmContainer(file.read(0, 4))) return FileKind::Pcm;
  const off_t start = skipId3v2Tags(file, size);
  const std::string data = file.read(start, kJunkBeforeFirstFrame + kFramesNeeded * kLongestFrame);
  if (data.empty() || isOtherContainer(data)) return FileKind::Other;
  off_t end = size;
  if (size - start >= 128 && file.read(size - 128, 3) == "TAG") end -= 128;  // ID3v1
  const size_t audioEnd = static_cast<size_t>(end - start);
  for (size_t at = 0; at < std::min(data.size(), kJunkBeforeFirstFrame); ++at)
    if (static_cast<unsigned char>(data[at]) == 0xFF && framesFollow(data, at, audioEnd))
      return FileKind::Mpeg;
  return FileKind::Other;
}

}  // namespace vbmp3
