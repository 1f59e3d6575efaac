#include "songlist/listfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "core/textcodec.h"

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// Splits decoded text into fields and hands them on two at a time.
class FieldReader {
 public:
  explicit FieldReader(const QString& text) : text_(text) {}

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
  std::optional<QString> next() {
    while (true) {
      while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
      if (pos_ == text_.size()) {
        if (!fieldFollows_) return std::nullopt;
        fieldFollows_ = false;
        return QString();
      }
      if (!fieldFollows_ && isLineEnd(text_[pos_])) {
        skipLineEnd();  // a blank line
        continue;
      }
      QString field = text_[pos_] == u'"' ? quotedField() : plainField();
      endField();
      return field;
    }
  }

  QString quotedField() {
    ++pos_;
    // Most fields hold no doubled quote: take them in one piece.
    const qsizetype close = text_.indexOf(u'"', pos_);
    if (close >= 0 && (close + 1 == text_.size() || text_[close + 1] != u'"')) {
      QString field = text_.mid(pos_, close - pos_);
      pos_ = close + 1;
      skipToFieldEnd();
      return field;
    }
    QString field;
    while (true) {
      const qsizetype close = text_.indexOf(u'"', pos_);
      if (close < 0) {
        field += QStringView(text_).mid(pos_);
        pos_ = text_.size();
        return field;
      }
      field += QStringView(text_).mid(pos_, close - pos_);
      pos_ = close + 1;
      if (pos_ < text_.size() && text_[pos_] == u'"') {
        field += u'"';
        ++pos_;
        continue;
      }
      skipToFieldEnd();
      return field;
    }
  }

  // Skips whatever follows a closing quote, up to the next comma or line end.
  void skipToFieldEnd() {
    while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_])) ++pos_;
  }

  QString plainField() {
    const qsizetype start = pos_;
    while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_])) ++pos_;
    qsizetype end = pos_;
    while (end > start && isBlank(text_[end - 1])) --end;
    return text_.mid(start, end - start);
  }

  // Steps over the comma or line end after a field.
  void endField() {
    fieldFollows_ = pos_ < text_.size() && text_[pos_] == u',';
    if (fieldFollows_)
      ++pos_;
    else
      skipLineEnd();
  }

  void skipLineEnd() {
    if (pos_ < text_.size() && text_[pos_] == u'\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n') ++pos_;
  }

  const QString& text_;
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
  const QString text = textcodec::decode(bytes);
  return FieldReader(text).readAll();
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
