#include "songlist/listfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "core/textcodec.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Cuts the file's bytes into fields. Every byte the fields are cut at is ASCII below 0x40,
// never part of a CP932 or UTF-8 character, so each field's bytes are decoded on their own.
class FieldCutter {
 public:
  explicit FieldCutter(QByteArrayView bytes) : bytes_(bytes) {}

  // The fields in order, at most `limit` of them.
  std::vector<FieldSpan> cutAll(size_t limit) {
    std::vector<FieldSpan> fields;
    // A field takes at least two bytes ("a,"); reserving is cheaper than growing.
    fields.reserve(std::min<size_t>(limit, bytes_.size() / 2 + 2));
    while (fields.size() < limit) {
      const std::optional<FieldSpan> field = next();
      if (!field) break;
      fields.push_back(*field);
    }
    return fields;
  }

 private:
  bool atEnd() const { return pos_ == bytes_.size(); }
  char at(qsizetype pos) const { return bytes_.data()[pos]; }

  std::optional<FieldSpan> next() {
    while (true) {
      while (!atEnd() && isBlank(at(pos_))) ++pos_;
      if (atEnd()) {
        if (!fieldFollows_) return std::nullopt;
        fieldFollows_ = false;
        return FieldSpan{pos_, pos_};
      }
      if (!fieldFollows_ && isLineEnd(at(pos_))) {
        skipLineEnd();  // a blank line
        continue;
      }
      const FieldSpan field = at(pos_) == '"' ? quotedField() : plainField();
      endField();
      return field;
    }
  }

  // From the opening quote to the closing one (not included), stepping over doubled quotes.
  FieldSpan quotedField() {
    const qsizetype start = pos_++;
    while (true) {
      const qsizetype close = bytes_.indexOf('"', pos_);
      if (close < 0) {
        pos_ = bytes_.size();
        return {start, pos_};
      }
      pos_ = close + 1;
      if (!atEnd() && at(pos_) == '"') {
        ++pos_;
        continue;
      }
      skipToFieldEnd();
      return {start, close};
    }
  }

  // Skips whatever follows a closing quote, up to the next comma or line end.
  void skipToFieldEnd() {
    while (!atEnd() && at(pos_) != ',' && !isLineEnd(at(pos_))) ++pos_;
  }

  FieldSpan plainField() {
    const qsizetype start = pos_;
    skipToFieldEnd();
    qsizetype end = pos_;
    while (end > start && isBlank(at(end - 1))) --end;
    return {start, end};
  }

  // Steps over the comma or line end after a field.
  void endField() {
    fieldFollows_ = !atEnd() && at(pos_) == ',';
    if (fieldFollows_)
      ++pos_;
    else
      skipLineEnd();
  }

  void skipLineEnd() {
    if (!atEnd() && at(pos_) == '\r') ++pos_;
    if (!atEnd() && at(pos_) == '\n') ++pos_;
  }

  QByteArrayView bytes_;
  qsizetype pos_ = 0;
  bool fieldFollows_ = false;  // a comma was read, so a field comes even at a line end
};

QString quotedLine(QString text) {
  text.replace(u'"', QStringLiteral("\"\""));
  return u'"' + text + QStringLiteral("\"\r\n");
}

// A field's text: a quoted one without its quotes and with doubled quotes made single.
QString fieldText(QByteArrayView bytes, FieldSpan field, const textcodec::PieceDecoder& decode) {
  if (field.end == field.start || bytes[field.start] != '"')
    return decode(bytes.sliced(field.start, field.end - field.start));
  const QByteArrayView inside = bytes.sliced(field.start + 1, field.end - field.start - 1);
  if (!inside.contains('"')) return decode(inside);
  return decode(inside.toByteArray().replace("\"\"", "\""));
}

std::vector<FieldSpan> recordFields(QByteArrayView bytes) {
  std::vector<FieldSpan> fields = FieldCutter(bytes).cutAll(2 * size_t(kMaxListEntries));
  if (fields.size() % 2 != 0) fields.pop_back();  // a last field without its partner
  return fields;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

QString listFileName(int genre) { return QStringLiteral("List%1.dat").arg(genre); }

ListFile::ListFile(const QByteArray& bytes)
    : bytes_(textcodec::withoutBom(bytes)), fields_(recordFields(bytes_)) {}

ListFile::~ListFile() = default;

QString ListFile::text(int record, int column) const {
  if (record < 0 || record >= count() || column < 0 || column > 1) return {};
  if (!decode_) decode_ = std::make_unique<textcodec::PieceDecoder>(bytes_);
  return fieldText(bytes_, fields_[2 * size_t(record) + column], *decode_);
}

FieldPairs ListFile::texts() const {
  FieldPairs records;
  records.first.reserve(count());
  records.second.reserve(count());
  for (int k = 0; k < count(); ++k) {
    records.first.append(text(k, 0));
    records.second.append(text(k, 1));
  }
  return records;
}

FieldPairs parseListFile(const QByteArray& bytes) { return ListFile(bytes).texts(); }

std::shared_ptr<const ListFile> openListFile(const QString& path) {
  return std::make_shared<const ListFile>(readAll(path));
}

FieldPairs readListFile(const QString& path) { return openListFile(path)->texts(); }

QByteArray formatListFile(const FieldPairs& records) {
  Q_ASSERT(records.first.size() == records.second.size());
  const qsizetype count = std::min(records.first.size(), records.second.size());
  QString text;
  for (qsizetype k = 0; k < count; ++k) {
    text += quotedLine(records.first[k]);
    text += quotedLine(records.second[k]);
  }
  return textcodec::encode(text);
}

QStringList parseFields(const QByteArray& bytes) {
  const QByteArray text = textcodec::withoutBom(bytes);
  const textcodec::PieceDecoder decode(text);
  QStringList fields;
  for (const FieldSpan& field : FieldCutter(text).cutAll(SIZE_MAX))
    fields.append(fieldText(text, field, decode));
  return fields;
}

QStringList readFields(const QString& path) { return parseFields(readAll(path)); }

QByteArray formatFields(const QStringList& fields) {
  QString text;
  for (const QString& field : fields) text += quotedLine(field);
  return textcodec::encode(text);
}

WriteStatus writeListFile(const QString& path, const FieldPairs& records) {
  return writeFileAtomically(path, formatListFile(records));
}

EnsureStatus ensureExists(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    return EnsureStatus::Ok;
  }
  switch (errno) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return EnsureStatus::NotWritable;
    default:
      return EnsureStatus::OtherFailure;
  }
}
