#include "fakes/program_test.h"

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

void ProgramFolder::writeFile(const QString& name, const QByteArray& bytes) {
  QFile file(path(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QByteArray ProgramFolder::readFile(const QString& name) const {
  QFile file(path(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString BuiltLibrary::file() { return qEnvironmentVariable("KESTRUNE_BUILD_DIR", ".") + "/libvbmp3.so"; }

BuiltLibrary::BuiltLibrary() : library(file()), ready(library.init() == 1) {}

BuiltLibrary::~BuiltLibrary() { library.free(); }
