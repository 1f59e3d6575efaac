#include "common/charset.h"

#include <cerrno>

namespace charset {

bool isUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  size_t i = 0;
  while (i < size) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    const size_t n = utf8SequenceLength(c);
    if (n == 0 || n > size - i) return false;
    for (size_t k = 1; k < n; ++k)
      if ((p[i + k] & 0xC0) != 0x80) return false;
    const unsigned char c1 = p[i + 1];
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;  // overlong forms, surrogates, beyond U+10FFFF
    i += n;
  }
  return true;
}

std::optional<std::string> convert(const Iconv& cd, std::string_view in) {
  if (!cd.valid()) return std::nullopt;
  cd.reset();
  std::string out;
  out.reserve(in.size() + 16);
  char buffer[4096];
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  for (;;) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    // Once the input is used up, a call without input ends any shift sequence.
    const bool end = srcLeft == 0;
    const size_t rc = end ? iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft)
                          : iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    const int error = errno;
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc == static_cast<size_t>(-1) && error != E2BIG) return std::nullopt;
    if (end && rc != static_cast<size_t>(-1)) return out;
  }
}

std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
  return convert(Iconv(to, from), in);
}

}  // namespace charset
