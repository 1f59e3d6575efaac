// List and genre files: reading any bytes must not fail, and what was read must come back
// unchanged after a write and a second read.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "songlist/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QString path = dir.filePath("List0.dat");
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const FieldPairs records = readListFile(path);
  if (records.first.size() != records.second.size() || records.first.size() > kMaxListEntries) std::abort();
  if (writeListFile(path, records) != WriteStatus::Ok) std::abort();
  const FieldPairs again = readListFile(path);
  if (again.first != records.first || again.second != records.second) std::abort();
  return 0;
}
