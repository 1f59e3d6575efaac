#include "core/textcodec.h"

#include <QSysInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "common/charset.h"

namespace textcodec {

using charset::Iconv;

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kReplacementUtf8("\xEF\xBF\xBD");
constexpr char16_t kReplacement = 0xFFFD;

// Inputs at least this long are decoded through the table below: building it takes about
// a millisecond, iconv takes about 13 ms per megabyte.
constexpr qsizetype kTableMinimumInput = 16 * 1024;

}  // namespace

// CP932 as a table, filled once from iconv, so that it decodes exactly as iconv does: each
// byte is a character, the lead byte of a pair, or no character; each lead byte has the
// characters of its 256 possible pairs. Decoding follows fromCp932's rule for bad bytes.
class Cp932Table {
 public:
  // Nothing when iconv lacks CP932 or some character is not a single UTF-16 unit.
  static const Cp932Table* instance() {
    static const std::unique_ptr<Cp932Table> table = build();
    return table.get();
  }

  QString decode(QByteArrayView bytes) const {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    char16_t* const start = out;
    for (qsizetype i = 0; i < size; ++i) {
      const unsigned char c = p[i];
      if (kind_[c] == Kind::Single) {
        *out++ = single_[c];
      } else if (kind_[c] == Kind::Lead && i + 1 < size && pair(c, p[i + 1]) != kNoPair) {
        *out++ = pair(c, p[++i]);
      } else {
        *out++ = kReplacement;
      }
    }
    text.truncate(out - start);
    return text;
  }

 private:
  enum class Kind : unsigned char { None, Single, Lead };
  static constexpr char16_t kNoPair = 0xFFFF;  // a noncharacter, never in CP932

  char16_t pair(unsigned char lead, unsigned char trail) const {
    return pairs_[leadIndex_[lead] * 256 + trail];
  }

  enum class Outcome { Unit, Incomplete, Invalid, Other };

  // Converts `input` whole; Unit when it gives exactly one UTF-16 unit.
  static Outcome convert(const Iconv& cd, std::initializer_list<unsigned char> input, char16_t& unit) {
    char bytes[2];
    std::copy(input.begin(), input.end(), bytes);
    char16_t units[2];
    char* src = bytes;
    size_t srcLeft = input.size();
    char* dst = reinterpret_cast<char*>(units);
    size_t dstLeft = sizeof units;
    cd.reset();
    if (iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
      if (errno == EINVAL) return Outcome::Incomplete;
      return errno == EILSEQ ? Outcome::Invalid : Outcome::Other;
    }
    if (srcLeft != 0 || dstLeft != sizeof units - sizeof(char16_t)) return Outcome::Other;
    unit = units[0];
    return Outcome::Unit;
  }

  static std::unique_ptr<Cp932Table> build() {
    if (QSysInfo::ByteOrder != QSysInfo::LittleEndian) return nullptr;
    Iconv cd("UTF-16LE", "CP932");
    if (!cd.valid()) return nullptr;
    auto table = std::make_unique<Cp932Table>();
    for (int c = 0; c < 256; ++c) {
      char16_t unit = 0;
      const Outcome single = convert(cd, {static_cast<unsigned char>(c)}, unit);
      if (single == Outcome::Other) return nullptr;
      if (single == Outcome::Unit) {
        table->kind_[c] = Kind::Single;
        table->single_[c] = unit;
      } else if (single == Outcome::Incomplete) {
        table->kind_[c] = Kind::Lead;
        table->leadIndex_[c] = static_cast<int>(table->pairs_.size() / 256);
        for (int t = 0; t < 256; ++t) {
          const Outcome pair =
              convert(cd, {static_cast<unsigned char>(c), static_cast<unsigned char>(t)}, unit);
          if (pair == Outcome::Other || (pair == Outcome::Unit && unit == kNoPair)) return nullptr;
          table->pairs_.push_back(pair == Outcome::Unit ? unit : kNoPair);
        }
      }
    }
    return table;
  }

  std::array<Kind, 256> kind_{};
  std::array<char16_t, 256> single_{};
  std::array<int, 256> leadIndex_{};
  std::vector<char16_t> pairs_;
};

namespace {

// CP932 through an open iconv descriptor, with decode's U+FFFD rule for bad bytes.
QString fromCp932With(const Iconv& cd, QByteArrayView bytes) {
  if (!cd.valid()) return QString::fromLatin1(bytes);
  QByteArray out;
  out.reserve(bytes.size() * 3 / 2 + 16);
  char buffer[4096];
  char* src = const_cast<char*>(bytes.data());
  size_t srcLeft = static_cast<size_t>(bytes.size());
  cd.reset();
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
    cd.reset();
  }
  return QString::fromUtf8(out);
}

}  // namespace

QByteArray withoutBom(const QByteArray& bytes) {
  return bytes.startsWith(kUtf8Bom) ? bytes.sliced(kUtf8Bom.size()) : bytes;
}

bool isAscii(const QByteArray& bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool isUtf8(const QByteArray& bytes) {
  return charset::isUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString fromCp932(const QByteArray& bytes) {
  if (bytes.size() >= kTableMinimumInput) {
    if (const Cp932Table* table = Cp932Table::instance()) return table->decode(bytes);
  }
  return detail::fromCp932WithIconv(bytes);
}

namespace detail {

bool cp932TableReady() { return Cp932Table::instance() != nullptr; }

QString fromCp932WithIconv(const QByteArray& bytes) { return fromCp932With(Iconv("UTF-8", "CP932"), bytes); }

}  // namespace detail

QString decode(const QByteArray& bytes) {
  const QByteArray body = withoutBom(bytes);
  return isUtf8(body) ? QString::fromUtf8(body) : fromCp932(body);
}

PieceDecoder::PieceDecoder(const QByteArray& bytes) : utf8_(isUtf8(bytes)) {
  if (utf8_) return;
  if (bytes.size() >= kTableMinimumInput) table_ = Cp932Table::instance();
  if (!table_) iconv_ = std::make_unique<Iconv>("UTF-8", "CP932");
}

PieceDecoder::~PieceDecoder() = default;

QString PieceDecoder::operator()(QByteArrayView piece) const {
  if (utf8_) return QString::fromUtf8(piece);
  return table_ ? table_->decode(piece) : fromCp932With(*iconv_, piece);
}

std::optional<QByteArray> toCp932(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  const auto cp932 = charset::convert("CP932", "UTF-8",
                                      std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
  if (!cp932) return std::nullopt;
  QByteArray out(cp932->data(), static_cast<qsizetype>(cp932->size()));
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

QString CutAtNul(const QString& text) {
  const qsizetype nul = text.indexOf(QChar(0));
  return nul < 0 ? text : text.left(nul);
}

QString TrimSpaces(const QString& text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin] == ' ') ++begin;
  while (end > begin && text[end - 1] == ' ') --end;
  return text.mid(begin, end - begin);
}
