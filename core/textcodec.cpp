#include "core/textcodec.h"

#include <iconv.h>

#include <cerrno>

namespace textcodec {
namespace {

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

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with byte c, 0 when c cannot start one.
int sequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kReplacementUtf8("\xEF\xBF\xBD");

}  // namespace

bool isAscii(const QByteArray& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool isUtf8(const QByteArray& bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype size = bytes.size();
  qsizetype i = 0;
  while (i < size) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    const int n = sequenceLength(c);
    if (n == 0 || i + n > size) return false;
    for (int k = 1; k < n; ++k)
      if ((p[i + k] & 0xC0) != 0x80) return false;
    const unsigned char c1 = p[i + 1];
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;  // overlong forms, surrogates, beyond U+10FFFF
    i += n;
  }
  return true;
}

QString fromCp932(const QByteArray& bytes) {
  Iconv cd("UTF-8", "CP932");
  if (!cd.valid()) return QString::fromLatin1(bytes);
  QByteArray out;
  out.reserve(bytes.size() * 3 / 2 + 16);
  char buffer[4096];
  char* src = const_cast<char*>(bytes.constData());
  size_t srcLeft = static_cast<size_t>(bytes.size());
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    const int error = errno;
    out.append(buffer, dst - buffer);
    if (rc != static_cast<size_t>(-1) || error == E2BIG) continue;
    // EILSEQ (no such character) or EINVAL (cut short at the end): one U+FFFD for the
    // byte that failed, then go on after it.
    out.append(kReplacementUtf8);
    ++src;
    --srcLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return QString::fromUtf8(out);
}

QString decode(const QByteArray& bytes) {
  const QByteArray body = bytes.startsWith(kUtf8Bom) ? bytes.mid(kUtf8Bom.size()) : bytes;
  return isUtf8(body) ? QString::fromUtf8(body) : fromCp932(body);
}

std::optional<QByteArray> toCp932(const QString& text) {
  Iconv cd("CP932", "UTF-8");
  if (!cd.valid()) return std::nullopt;
  QByteArray in = text.toUtf8();
  QByteArray out(in.size() + 16, '\0');  // CP932 never takes more bytes than UTF-8
  char* src = in.data();
  size_t srcLeft = static_cast<size_t>(in.size());
  char* dst = out.data();
  size_t dstLeft = static_cast<size_t>(out.size());
  if (iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return std::nullopt;
  out.truncate(dst - out.data());
  if (fromCp932(out) != text) return std::nullopt;  // a character stored as another one
  return out;
}

QByteArray encode(const QString& text) {
  // CP932 bytes that also form valid UTF-8 (e.g. some half-width katakana pairs) would be
  // read back as UTF-8 and come out as other text: such a file is written as UTF-8.
  if (const auto cp932 = toCp932(text); cp932 && (isAscii(*cp932) || !isUtf8(*cp932))) return *cp932;
  return text.toUtf8();
}

}  // namespace textcodec
