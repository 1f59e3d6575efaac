#include "file_kind.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "file_descriptor.h"

namespace vbmp3 {
namespace {

// Junk tolerated between the tags and the first frame, as much as libmpg123 skips.
constexpr size_t kJunkWindow = 64 * 1024;
// Longest frame of any layer and rate, free format included.
constexpr size_t kMaxFrameBytes = 4096;
constexpr int kConsistentFrames = 4;

struct FrameHeader {
  uint32_t fixedBits;  // sync, version, layer and sampling rate: the same in every frame
  bool freeFormat;
  size_t length;  // bytes, header included; 0 for free format
  size_t slot;    // bytes one padding slot adds
};

std::optional<FrameHeader> parseHeader(const unsigned char* p) {
  static constexpr int kRates[3] = {44100, 48000, 32000};
  static constexpr int kBitRates[2][3][15] = {
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  const uint32_t h = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  const uint32_t version = h >> 19 & 3, layerBits = h >> 17 & 3, bitRateIndex = h >> 12 & 15,
                 rateIndex = h >> 10 & 3;
  if ((h & 0xffe00000u) != 0xffe00000u || version == 1 || layerBits == 0 || bitRateIndex == 15 ||
      rateIndex == 3)
    return std::nullopt;
  const int layer = 4 - static_cast<int>(layerBits);
  const bool mpeg1 = version == 3;
  const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const bool padding = (h >> 9 & 1) != 0;
  FrameHeader frame{h & 0xfffe0c00u, bitRateIndex == 0, 0, layer == 1 ? 4u : 1u};
  if (frame.freeFormat) return frame;
  const long bitRate = kBitRates[mpeg1 ? 0 : 1][layer - 1][bitRateIndex] * 1000L;
  if (layer == 1)
    frame.length = static_cast<size_t>((12 * bitRate / rate + padding) * 4);
  else
    frame.length = static_cast<size_t>((layer == 3 && !mpeg1 ? 72 : 144) * bitRate / rate + padding);
  return frame;
}

bool startsWith(const unsigned char* p, size_t size, const char* text, size_t at = 0) {
  const size_t n = std::strlen(text);
  return size >= at + n && std::memcmp(p + at, text, n) == 0;
}

// Where a tag or nothing follows the audio, so a short run of frames can be the whole stream.
bool isAudioEnd(const unsigned char* p, size_t size) {
  return size == 0 || startsWith(p, size, "TAG") || startsWith(p, size, "APETAGEX") ||
         startsWith(p, size, "LYRICSBEGIN") || startsWith(p, size, "ID3");
}

class Head {
 public:
  Head(std::vector<unsigned char> bytes, bool wholeRest) : bytes_(std::move(bytes)), wholeRest_(wholeRest) {}
  size_t size() const { return bytes_.size(); }
  const unsigned char* at(size_t pos) const { return bytes_.data() + pos; }
  bool holds(size_t pos, size_t n) const { return pos + n <= bytes_.size(); }
  // Past the last byte read: the end of the file when the whole rest was read.
  bool endsAt(size_t pos) const { return pos <= bytes_.size() && (pos < bytes_.size() || wholeRest_); }

 private:
  std::vector<unsigned char> bytes_;
  bool wholeRest_;
};

// The length of a free-format frame: the distance to the next header of the same stream.
size_t freeFrameLength(const Head& head, size_t pos, const FrameHeader& first) {
  for (size_t next = pos + 4; head.holds(next, 4) && next < pos + kMaxFrameBytes; ++next) {
    const auto h = parseHeader(head.at(next));
    if (h && h->freeFormat && h->fixedBits == first.fixedBits) return next - pos;
  }
  return 0;
}

// Whether frames that agree with each other start at `pos` and go on for long enough.
bool isFrameRun(const Head& head, size_t pos) {
  const auto first = parseHeader(head.at(pos));
  if (!first) return false;
  size_t freeLength = 0;
  for (int count = 0; count < kConsistentFrames; ++count) {
    if (count >= 2 && head.endsAt(pos) && isAudioEnd(head.at(pos), head.size() - pos)) return true;
    if (!head.holds(pos, 4)) return false;
    const auto frame = parseHeader(head.at(pos));
    if (!frame || frame->fixedBits != first->fixedBits || frame->freeFormat != first->freeFormat)
      return false;
    size_t length = frame->length;
    if (frame->freeFormat) {
      const size_t found = freeFrameLength(head, pos, *first);
      // Free-format frames differ from each other by one padding slot at most.
      if (found == 0 ||
          (freeLength && (found + frame->slot < freeLength || found > freeLength + frame->slot)))
        return false;
      if (!freeLength) freeLength = found;
      length = found;
    }
    if (length < 4 + frame->slot) return false;
    pos += length;
  }
  return true;
}

bool isWavContainer(const unsigned char* p, size_t size) {
  for (const char* magic : {"RIFF", "RIFX", "RF64", "riff"})
    if (startsWith(p, size, magic)) return true;
  return false;
}

// Containers whose packets can hold MPEG frames or look like them.
bool isOtherContainer(const unsigned char* p, size_t size) {
  static constexpr unsigned char kEbml[4] = {0x1a, 0x45, 0xdf, 0xa3};
  static constexpr unsigned char kAsf[4] = {0x30, 0x26, 0xb2, 0x75};
  return startsWith(p, size, "fLaC") || startsWith(p, size, "OggS") || startsWith(p, size, "ftyp", 4) ||
         startsWith(p, size, "wvpk") || startsWith(p, size, "MAC ") || startsWith(p, size, "MPCK") ||
         startsWith(p, size, "caff") || (size >= 4 && std::memcmp(p, kEbml, 4) == 0) ||
         (size >= 4 && std::memcmp(p, kAsf, 4) == 0) || startsWith(p, size, "FORM") ||
         startsWith(p, size, ".snd") || isWavContainer(p, size);
}

// Size of the ID3v2 tag at `offset`, 0 when there is none. A tag declared to run past the end
// of the file counts as its header alone: such a tag is damaged, and the audio is often right
// behind the few bytes it really holds.
int64_t id3v2Size(int fd, int64_t offset, int64_t fileSize) {
  unsigned char h[10];
  if (::pread(fd, h, sizeof h, offset) != 10 || std::memcmp(h, "ID3", 3) != 0 || h[3] == 0xff ||
      h[4] == 0xff || ((h[6] | h[7] | h[8] | h[9]) & 0x80))
    return 0;
  const int64_t body = int64_t{h[6]} << 21 | int64_t{h[7]} << 14 | int64_t{h[8]} << 7 | h[9];
  const int64_t size = 10 + body + ((h[5] & 0x10) ? 10 : 0);
  return offset + size > fileSize ? 10 : size;
}

}  // namespace

std::optional<int64_t> mpegAudioStart(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  int64_t start = 0;
  while (const int64_t tag = id3v2Size(fd, start, st.st_size)) start += tag;
  const size_t wanted = kJunkWindow + kConsistentFrames * kMaxFrameBytes;
  std::vector<unsigned char> bytes(wanted);
  const ssize_t read = ::pread(fd, bytes.data(), wanted, start);
  if (read <= 0) return std::nullopt;
  bytes.resize(static_cast<size_t>(read));
  const Head head(std::move(bytes), static_cast<size_t>(read) < wanted);
  if (isOtherContainer(head.at(0), head.size())) return std::nullopt;
  for (size_t pos = 0; pos < kJunkWindow && head.holds(pos, 4); ++pos)
    if (head.at(pos)[0] == 0xff && isFrameRun(head, pos)) return start + static_cast<int64_t>(pos);
  return std::nullopt;
}

FileKind fileKind(const std::string& path) {
  FileDescriptor fd(path);
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return FileKind::Other;
  unsigned char magic[12] = {};
  const ssize_t got = ::pread(fd.get(), magic, sizeof magic, 0);
  if (got <= 0) return FileKind::Other;
  if (isWavContainer(magic, static_cast<size_t>(got))) return FileKind::Wav;
  return mpegAudioStart(fd.get()) ? FileKind::Mpeg : FileKind::Other;
}

}  // namespace vbmp3
