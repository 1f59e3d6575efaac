#include "text.h"

#include <algorithm>
#include <cstring>

#include "common/charset.h"

namespace vbmp3 {
namespace {

using charset::utf8SequenceLength;

// U+E000..U+F8FF in UTF-8: EE xx xx, or EF 80..A3 xx.
bool hasPrivateUseCharacter(const std::string& utf8) {
  for (size_t i = 0; i + 1 < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const auto c1 = static_cast<unsigned char>(utf8[i + 1]);
    if (c == 0xEE || (c == 0xEF && c1 >= 0x80 && c1 <= 0xA3)) return true;
  }
  return false;
}

// Text without a last character whose bytes were cut off at the end.
std::string dropCutCharacter(const std::string& text) {
  size_t start = text.size();
  while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80)
    --start;
  if (start == 0) return text;
  --start;
  const size_t need = utf8SequenceLength(static_cast<unsigned char>(text[start]));
  return need > text.size() - start ? text.substr(0, start) : text;
}

}  // namespace

void copyField(char* field, size_t size, const std::string& utf8) {
  if (size == 0) return;
  std::memset(field, 0, size);
  size_t used = 0;
  while (used < utf8.size()) {
    const size_t n = utf8SequenceLength(static_cast<unsigned char>(utf8[used]));
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

std::optional<std::string> cp932ToUtf8(const std::string& bytes) {
  return charset::convert("UTF-8", "CP932", bytes);
}

std::optional<std::string> utf8ToCp932(const std::string& utf8) {
  return charset::convert("CP932", "UTF-8", utf8);
}

std::string latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string legacyToUtf8(const std::string& bytes) {
  if (charset::isUtf8(bytes)) return bytes;
  // CP932's user-defined area (lead bytes F0-F9) maps to private-use characters; text
  // that lands there is Latin-1 such as "Bj\xF6rk", not Japanese.
  if (auto text = cp932ToUtf8(bytes); text && !hasPrivateUseCharacter(*text)) return *text;
  return latin1ToUtf8(bytes);
}

std::string declaredLatin1ToUtf8(const std::string& bytes) {
  if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
    // iconv's UTF-16 takes its byte order from the mark. An odd length has lost the NUL
    // high byte of a last little-endian character (readers drop trailing NULs).
    if (auto text = charset::convert("UTF-8", "UTF-16", bytes.size() % 2 ? bytes + '\0' : bytes))
      return text->substr(0, text->find('\0'));
  }
  std::string text = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? bytes.substr(3) : bytes;
  std::replace(text.begin(), text.end(), '\0', ' ');
  return legacyToUtf8(text);
}

std::string toCp932Lossy(const std::string& utf8, size_t maxBytes) {
  const charset::Iconv cd("CP932", "UTF-8");
  const std::string_view text(utf8);
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const size_t n = std::max<size_t>(1, utf8SequenceLength(static_cast<unsigned char>(text[i])));
    const std::string one = charset::convert(cd, text.substr(i, n)).value_or("?");
    if (out.size() + one.size() > maxBytes) break;
    out += one;
    i += n;
  }
  return out;
}

std::string textFromField(const char* field, size_t size) {
  std::string text = readField(field, size);
  if (!charset::isUtf8(text)) {
    const std::string whole = dropCutCharacter(text);
    text = charset::isUtf8(whole) ? whole : legacyToUtf8(text);
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace vbmp3
