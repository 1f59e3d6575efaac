#include "text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace vbmp3 {
namespace {

// Length of the UTF-8 sequence that starts with byte c, 0 when c cannot start one.
size_t sequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

std::optional<std::string> convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 16, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  const bool ok =
      rc != static_cast<size_t>(-1) && iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

bool isValidUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t n = sequenceLength(c);
    if (n == 0 || i + n > bytes.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    const auto c1 = static_cast<unsigned char>(n > 1 ? bytes[i + 1] : 0);
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;  // overlong forms, surrogates, beyond U+10FFFF
    i += n;
  }
  return true;
}

void copyField(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return;
  std::memset(field, 0, size);
  size_t used = 0;
  while (used < utf8.size()) {
    const size_t n = sequenceLength(static_cast<unsigned char>(utf8[used]));
    if (n == 0 || used + n > utf8.size() || used + n > size - 1) break;
    if (utf8[used] == '\0') break;
    used += n;
  }
  std::memcpy(field, utf8.data(), used);
}

std::string readField(const char* field, size_t size) {
  const void* nul = std::memchr(field, 0, size);
  return std::string(field, nul ? static_cast<const char*>(nul) - field : size);
}

std::optional<std::string> cp932ToUtf8(const std::string& bytes) { return convert("UTF-8", "CP932", bytes); }

std::optional<std::string> utf8ToCp932(const std::string& utf8) { return convert("CP932", "UTF-8", utf8); }

}  // namespace vbmp3
