#include "core/profile.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

#include "core/textcodec.h"

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString trimBlanks(const QString& s) {
  qsizetype begin = 0;
  qsizetype end = s.size();
  while (begin < end && isBlank(s[begin])) ++begin;
  while (end > begin && isBlank(s[end - 1])) --end;
  return s.mid(begin, end - begin);
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool isQuote(QChar c) { return c == u'"' || c == u'\''; }

bool enclosedInQuotes(const QString& s) {
  return s.size() >= 2 && isQuote(s.front()) && s.back() == s.front();
}

// "[name]" (blanks allowed around) gives the name; any other line gives nothing.
std::optional<QString> sectionOf(const QString& line) {
  const QString t = trimBlanks(line);
  if (!t.startsWith(u'[')) return std::nullopt;
  const qsizetype close = t.indexOf(u']');
  if (close < 0) return std::nullopt;
  return trimBlanks(t.mid(1, close - 1));
}

struct KeyLine {
  QString key;
  QString value;  // as stored, after the first "="
};

std::optional<KeyLine> keyOf(const QString& line) {
  const QString t = trimBlanks(line);
  if (t.startsWith(u';') || t.startsWith(u'[')) return std::nullopt;
  const qsizetype eq = line.indexOf(u'=');
  if (eq < 0) return std::nullopt;
  return KeyLine{trimBlanks(line.left(eq)), line.mid(eq + 1)};
}

// What a reader with the 1024-character buffer gets for a stored value.
QString readValue(const QString& stored) {
  QString value = trimBlanks(stored);
  if (enclosedInQuotes(value)) value = value.mid(1, value.size() - 2);
  const qsizetype nul = value.indexOf(QChar(u'\0'));
  if (nul >= 0) value.truncate(nul);
  qsizetype keep = kProfileReadBufferChars - 1;
  if (value.size() > keep) {
    if (value[keep - 1].isHighSurrogate()) --keep;  // never half a character
    value.truncate(keep);
  }
  return value;
}

// The text to store after "=" so that readValue gives the value back (up to the buffer).
QString storedValue(QString value) {
  const qsizetype nul = value.indexOf(QChar(u'\0'));
  if (nul >= 0) value.truncate(nul);
  value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  value.replace(u'\r', u' ');
  value.replace(u'\n', u' ');
  const bool needsQuotes =
      !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) || enclosedInQuotes(value));
  return needsQuotes ? u'"' + value + u'"' : value;
}

}  // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) {
    readable_ = !QFileInfo::exists(path_);
    return;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    readable_ = false;
    return;
  }
  const textcodec::PieceDecoder decode(textcodec::withoutBom(bytes));
  sourceUtf8_ = decode.utf8();
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype lf = bytes.indexOf('\n', start);
    const qsizetype next = lf < 0 ? bytes.size() : lf + 1;
    qsizetype contentEnd = lf < 0 ? bytes.size() : lf;
    if (contentEnd > start && bytes[contentEnd - 1] == '\r') --contentEnd;
    Line line;
    line.raw = bytes.mid(start, contentEnd - start);
    line.end = bytes.mid(contentEnd, next - contentEnd);
    line.text = decode(start == 0 ? textcodec::withoutBom(line.raw) : line.raw);
    lines_.append(std::move(line));
    start = next;
  }
}

ProfileFile::Found ProfileFile::find(const QString& section, const QString& key) const {
  const QString wantedSection = trimBlanks(section);
  const QString wantedKey = trimBlanks(key);
  Found found;
  int sectionsSeen = 0;  // sections of the wanted name so far; new keys go to the first
  bool inSection = false;
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    if (const auto name = sectionOf(lines_[i].text)) {
      inSection = sameName(*name, wantedSection);
      if (inSection && ++sectionsSeen == 1) found.sectionEnd = i + 1;
      continue;
    }
    if (!inSection) continue;
    const auto entry = keyOf(lines_[i].text);
    if (!entry) continue;
    if (sameName(entry->key, wantedKey)) {
      found.keyLine = i;
      return found;
    }
    if (sectionsSeen == 1) found.sectionEnd = i + 1;
  }
  return found;
}

QString ProfileFile::get(const QString& section, const QString& key) const {
  const Found found = find(section, key);
  if (found.keyLine < 0) return {};
  return readValue(keyOf(lines_[found.keyLine].text)->value);
}

void ProfileFile::set(const QString& section, const QString& key, const QString& value) {
  const QString stored = storedValue(value);
  const Found found = find(section, key);
  if (found.keyLine >= 0) {
    Line& line = lines_[found.keyLine];
    const KeyLine entry = *keyOf(line.text);
    if (entry.value == stored) return;
    line.text = entry.key + u'=' + stored;
    line.edited = true;
    changed_ = true;
    return;
  }
  const QString keyLine = trimBlanks(key) + u'=' + stored;
  if (found.sectionEnd >= 0) {
    insertLine(found.sectionEnd, keyLine);
    return;
  }
  insertLine(lines_.size(), u'[' + trimBlanks(section) + u']');
  insertLine(lines_.size(), keyLine);
}

void ProfileFile::insertLine(qsizetype at, const QString& text) {
  if (at > 0 && !lines_[at - 1].end.endsWith('\n')) lines_[at - 1].end = "\r\n";
  lines_.insert(at, Line{{}, "\r\n", text, true});
  changed_ = true;
}

// Every line's bytes in one encoding; lines read in that encoding and left alone keep
// their bytes. Nothing when some text has no form in CP932.
std::optional<QList<QByteArray>> ProfileFile::encodeLines(bool utf8) const {
  QList<QByteArray> out;
  out.reserve(lines_.size());
  for (const Line& line : lines_) {
    if (!line.edited && sourceUtf8_ == utf8) {
      out.append(line.raw);
    } else if (utf8) {
      out.append(line.text.toUtf8());
    } else if (auto bytes = textcodec::toCp932(line.text)) {
      out.append(std::move(*bytes));
    } else {
      return std::nullopt;
    }
  }
  return out;
}

QByteArray ProfileFile::join(const QList<QByteArray>& encoded) const {
  QByteArray out;
  for (qsizetype i = 0; i < lines_.size(); ++i) out += encoded[i] + lines_[i].end;
  return out;
}

WriteStatus ProfileFile::save() {
  if (!readable_) return WriteStatus::CannotOpen;
  if (!changed_) return WriteStatus::Ok;
  bool utf8 = false;
  auto encoded = encodeLines(false);
  QByteArray bytes = encoded ? join(*encoded) : QByteArray();
  // CP932 bytes that happen to form valid UTF-8 would be read back as UTF-8.
  if (!encoded || (textcodec::isUtf8(bytes) && !textcodec::isAscii(bytes))) {
    utf8 = true;
    encoded = encodeLines(true);
    bytes = join(*encoded);
  }
  const WriteStatus status = writeFileAtomically(path_, bytes);
  if (status != WriteStatus::Ok) return status;
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    lines_[i].raw = (*encoded)[i];
    lines_[i].edited = false;
  }
  sourceUtf8_ = utf8;
  changed_ = false;
  return status;
}

namespace profile {

QString read(const QString& path, const QString& section, const QString& key) {
  return ProfileFile(path).get(section, key);
}

WriteStatus write(const QString& path, const QString& section, const QString& key, const QString& value) {
  ProfileFile file(path);
  file.set(section, key, value);
  return file.save();
}

}  // namespace profile
