#include "songlist/listfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "core/textcodec.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Splits the file's bytes into fields and hands them on two at a time. Every byte the
// fields are cut at is ASCII below 0x40, never part of a CP932 or UTF-8 character, so each
// field's bytes are decoded on their own.
class FieldReader {
 public:
  explicit FieldReader(const QByteArray& bytes) : bytes_(bytes), decode_(bytes) {}

  FieldPairs readAll() {
    FieldPairs records;
    QString first;
    bool haveFirst = false;
    while (records.first.size() < kMaxListEntries) {
      auto field = next();
      if (!field) break;
      if (!haveFirst) {
        first = std::move(*field);
        haveFirst = true;
        continue;
      }
      records.first.append(std::move(first));
      records.second.append(std::move(*field));
      haveFirst = false;
    }
    return records;
  }

 private:
  bool atEnd() const { return pos_ == bytes_.size(); }
  char at(qsizetype pos) const { return bytes_.data()[pos]; }

  std::optional<QString> next() {
    while (true) {
      while (!atEnd() && isBlank(at(pos_))) ++pos_;
      if (atEnd()) {
        if (!fieldFollows_) return std::nullopt;
        fieldFollows_ = false;
        return QString();
      }
      if (!fieldFollows_ && isLineEnd(at(pos_))) {
        skipLineEnd();  // a blank line
        continue;
      }
      QString field = at(pos_) == '"' ? quotedField() : plainField();
      endField();
      return field;
    }
  }

  QString quotedField() {
    ++pos_;
    // Most fields hold no doubled quote: take them in one piece.
    qsizetype close = bytes_.indexOf('"', pos_);
    if (close >= 0 && (close + 1 == bytes_.size() || at(close + 1) != '"')) {
      QString field = decode_(bytes_.sliced(pos_, close - pos_));
      pos_ = close + 1;
      skipToFieldEnd();
      return field;
    }
    QByteArray field;
    while (true) {
      close = bytes_.indexOf('"', pos_);
      if (close < 0) {
        field += bytes_.sliced(pos_);
        pos_ = bytes_.size();
        return decode_(field);
      }
      field += bytes_.sliced(pos_, close - pos_);
      pos_ = close + 1;
      if (!atEnd() && at(pos_) == '"') {
        field += '"';
        ++pos_;
        continue;
      }
      skipToFieldEnd();
      return decode_(field);
    }
  }

  // Skips whatever follows a closing quote, up to the next comma or line end.
  void skipToFieldEnd() {
    while (!atEnd() && at(pos_) != ',' && !isLineEnd(at(pos_))) ++pos_;
  }

  QString plainField() {
    const qsizetype start = pos_;
    skipToFieldEnd();
    qsizetype end = pos_;
    while (end > start && isBlank(at(end - 1))) --end;
    return decode_(bytes_.sliced(start, end - start));
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
  const textcodec::PieceDecoder decode_;
  qsizetype pos_ = 0;
  bool fieldFollows_ = false;  // a comma was read, so a field comes even at a line end
};

QString quoted(QString text) {
  text.replace(u'"', QStringLiteral("\"\""));
  return u'"' + text + u'"';
}

}  // namespace

QString listFileName(int genre) { return QStringLiteral("List%1.dat").arg(genre); }

FieldPairs parseListFile(const QByteArray& bytes) {
  return FieldReader(textcodec::withoutBom(bytes)).readAll();
}

FieldPairs readListFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return parseListFile(file.readAll());
}

QByteArray formatListFile(const FieldPairs& records) {
  Q_ASSERT(records.first.size() == records.second.size());
  const qsizetype count = std::min(records.first.size(), records.second.size());
  QString text;
  for (qsizetype k = 0; k < count; ++k) {
    text += quoted(records.first[k]) + QStringLiteral("\r\n");
    text += quoted(records.second[k]) + QStringLiteral("\r\n");
  }
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
