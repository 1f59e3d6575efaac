// Character sets, shared by the program and its library (so no Qt here): whether bytes are
// UTF-8, and conversions through iconv.
#pragma once

#include <iconv.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace charset {

// Length of the UTF-8 sequence that starts with byte c, 0 when c cannot start one (a
// continuation byte, C0 and C1, which would only start overlong forms, or F5-FF).
constexpr size_t utf8SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// beyond U+10FFFF). Plain ASCII is UTF-8.
bool isUtf8(std::string_view bytes);

// An iconv conversion descriptor that closes itself. valid() is false when iconv lacks
// either encoding.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }
  // Back to the initial shift state, for input that starts afresh.
  void reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

// The whole of `in` converted through `cd` (from its initial state); nullopt when the
// descriptor is not valid, or some input has no form in the target encoding or is cut short.
std::optional<std::string> convert(const Iconv& cd, std::string_view in);
std::optional<std::string> convert(const char* to, const char* from, std::string_view in);

}  // namespace charset
