#include "fakes/program_test.h"

#include "core/startup.h"

ProgramTest::ProgramTest() = default;
ProgramTest::~ProgramTest() = default;

App& ProgramTest::app() {
  if (!app_) app_ = std::make_unique<App>(decoder, platform, folder.path());
  return *app_;
}

App& ProgramTest::start() {
  Form1_Form_Load(app());
  return *app_;
}

void ProgramTest::writeFile(const QString& name, const QByteArray& bytes) {
  QFile file(path(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QByteArray ProgramTest::readFile(const QString& name) const {
  QFile file(path(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
