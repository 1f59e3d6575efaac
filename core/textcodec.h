// Text of the data files on disk. Files are CP932 (Shift_JIS, as the program has always
// stored them) unless their text needs more, in which case the whole file is UTF-8. No BOM.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>

namespace charset {
class Iconv;
}

namespace textcodec {

class Cp932Table;

// charset::isUtf8 for a QByteArray.
bool isUtf8(const QByteArray& bytes);
bool isAscii(const QByteArray& bytes);

// The bytes after a leading UTF-8 byte-order mark, which is not part of a file's text.
QByteArray withoutBom(const QByteArray& bytes);

// Bytes read from a data file to text: valid UTF-8 is taken as UTF-8, anything else as
// CP932. A byte that does not start a valid CP932 character becomes one U+FFFD and reading
// goes on with the next byte, so damaged files keep the rest of their text. A leading
// UTF-8 byte-order mark is not part of the text.
QString decode(const QByteArray& bytes);

// Text for a data file: CP932 when that encoding gives back exactly this text when the
// file is read again (see decode), else UTF-8. Plain ASCII comes out the same either way.
QByteArray encode(const QString& text);

// The CP932 bytes of the text, or nothing when some character has no CP932 form that
// reads back as the same character (e.g. U+301C, which CP932 stores as the code of U+FF5E).
std::optional<QByteArray> toCp932(const QString& text);

// CP932 bytes to text, with the U+FFFD fallback of decode.
QString fromCp932(const QByteArray& bytes);

// Decodes one file's text a piece at a time, each piece as decode() would decode it within
// the whole: the whole file's bytes (without a byte-order mark) choose UTF-8 or CP932 once.
// Pieces must be cut at ASCII bytes below 0x40 (blanks, quotes, commas, '=', line ends),
// which are never part of a multibyte character in either encoding.
class PieceDecoder {
 public:
  explicit PieceDecoder(const QByteArray& bytes);
  ~PieceDecoder();
  PieceDecoder(const PieceDecoder&) = delete;
  PieceDecoder& operator=(const PieceDecoder&) = delete;

  bool utf8() const { return utf8_; }
  QString operator()(QByteArrayView piece) const;

 private:
  bool utf8_;
  const Cp932Table* table_ = nullptr;      // for large files
  std::unique_ptr<charset::Iconv> iconv_;  // for small ones: building the table costs more
};

namespace detail {
// fromCp932 through iconv alone; large inputs take a faster table that decodes the same.
QString fromCp932WithIconv(const QByteArray& bytes);
// Whether large inputs get the table (iconv has CP932 and each character is one UTF-16 unit).
bool cp932TableReady();
}  // namespace detail

}  // namespace textcodec

// Text helpers for the library's records and for paths typed by the user.

// `text` up to its first NUL.
QString CutAtNul(const QString& text);
// A fixed-length UTF-8 text field of the library's records, up to its first NUL.
template <std::size_t N>
QString CutAtNul(const char (&field)[N]) {
  return QString::fromUtf8(field, static_cast<qsizetype>(strnlen(field, N)));
}

// Spaces trimmed from both ends (nothing else: a tab or a newline belongs to the path).
QString TrimSpaces(const QString& text);
