// Profile files: reading any bytes must not fail, and setting one key must change only
// that key, which must then read back as set.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "core/profile.h"
#include "core/textcodec.h"

namespace {

const char* const kSections[] = {"Kestrune DataFile", "S", "s "};
const char* const kKeys[] = {"MainTop", "k", "K", ""};

// What reading gives back for a value that was set.
QString expectedReadBack(QString value) {
  const qsizetype nul = value.indexOf(QChar(u'\0'));
  if (nul >= 0) value.truncate(nul);
  value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  value.replace(u'\r', u' ');
  value.replace(u'\n', u' ');
  qsizetype keep = kProfileReadBufferChars - 1;
  if (value.size() > keep && value[keep - 1].isHighSurrogate()) --keep;
  return value.left(keep);
}

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  if (size < 2) return 0;
  const QString path = dir.filePath("Option.ini");
  // First byte: which key to set; second: how many of the following bytes form the value.
  const int which = data[0];
  const size_t valueSize = std::min<size_t>(data[1], size - 2);
  const QString value = textcodec::decode(QByteArray(reinterpret_cast<const char*>(data) + 2, valueSize));
  const QByteArray content(reinterpret_cast<const char*>(data) + 2 + valueSize, size - 2 - valueSize);
  {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }

  ProfileFile before(path);
  ProfileFile edited(path);
  const QString section = kSections[which % 3];
  const QString key = kKeys[(which / 3) % 4];
  edited.set(section, key, value);
  check(edited.save() == WriteStatus::Ok);
  check(edited.get(section, key) == expectedReadBack(value));

  const ProfileFile after(path);
  for (const char* s : kSections)
    for (const char* k : kKeys) {
      const bool isSetKey = QString(s).trimmed().compare(section.trimmed(), Qt::CaseInsensitive) == 0 &&
                            QString(k).compare(key, Qt::CaseInsensitive) == 0;
      check(after.get(s, k) == (isSetKey ? expectedReadBack(value) : before.get(s, k)));
    }
  return 0;
}
