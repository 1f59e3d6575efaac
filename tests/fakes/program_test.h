// The base of the program's test fixtures: the whole program in a temporary program folder,
// with the scripted platform and a decoder, the scripted one (ProgramTest) or the real
// libvbmp3.so from the build folder (RealLibraryTest). The six windows are made the first
// time a test touches them; start() runs the start-up sequence.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <ostream>
#include <string>

#include "core/app.h"
#include "core/startup.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_decoder.h"
#include "fakes/scripted_platform.h"

// The message every caller shows when a track does not open.
inline const QString kFailedOpen =
    "指定させたファイルが存在しません。\r\n又は拡張子がサポートされてないファイルです。";

// Readable QStrings in failure messages.
void PrintTo(const QString& text, std::ostream* out);

// Sets an environment variable, or unsets it for a null value, for a test's length.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QByteArray& value)
      : name_(name), old_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name)) {
    value.isNull() ? qunsetenv(name) : qputenv(name, value);
  }
  ~ScopedVariable() { wasSet_ ? qputenv(name_, old_) : qunsetenv(name_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  QByteArray old_;
  bool wasSet_;
};

// The program folder and the platform, with helpers for the folder's files.
class ProgramFolder : public testing::Test {
 protected:
  QString path(const QString& name) const { return folder.filePath(name); }
  bool exists(const QString& name) const { return QFile::exists(path(name)); }
  void writeFile(const QString& name, const QByteArray& bytes);
  QByteArray readFile(const QString& name) const;

  QTemporaryDir folder;
  ScriptedPlatform platform;
};

template <typename Decoder>
class ProgramWith : public ProgramFolder {
 protected:
  // Runs Form1_Form_Load.
  App& start() {
    Form1_Form_Load(app);
    return app;
  }

  Decoder decoder;
  App app{decoder, platform, folder.path()};
};

using ProgramTest = ProgramWith<ScriptedDecoder>;

// The program started again in the same folder, with services of its own.
struct Restarted {
  explicit Restarted(const QString& folder) : app(decoder, platform, folder) { Form1_Form_Load(app); }

  ScriptedDecoder decoder;
  ScriptedPlatform platform;
  App app;
};

// libvbmp3.so from the build folder, initialised for the test and freed after it. The App
// is built on `library`.
struct BuiltLibrary {
  static QString file();
  BuiltLibrary();
  ~BuiltLibrary();
  operator Vbmp3&() { return library; }

  LibraryVbmp3 library;
  bool ready;  // loaded and initialised
};

class RealLibraryTest : public ProgramWith<BuiltLibrary> {
 protected:
  // A file in the program folder, named as the audio fixtures take it.
  std::string file(const std::string& name) const { return path(QString::fromStdString(name)).toStdString(); }

  void SetUp() override {
    ASSERT_TRUE(decoder.ready) << "libvbmp3.so not found: " << qPrintable(BuiltLibrary::file());
  }
};
