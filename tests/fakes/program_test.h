// A test fixture holding the whole program: the six real windows in a temporary program
// folder, with the scripted decoder and platform. start() runs the start-up sequence.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/app.h"
#include "fakes/scripted_decoder.h"
#include "fakes/scripted_platform.h"

class ProgramTest : public testing::Test {
 protected:
  ProgramTest();
  ~ProgramTest() override;

  // Creates the App (once) and runs Form1_Form_Load.
  App& start();
  App& app();  // the App, created without start-up when needed

  QString path(const QString& name) const { return folder.filePath(name); }
  bool exists(const QString& name) const { return QFile::exists(path(name)); }
  void writeFile(const QString& name, const QByteArray& bytes);
  QByteArray readFile(const QString& name) const;

  QTemporaryDir folder;
  ScriptedDecoder decoder;
  ScriptedPlatform platform;

 private:
  std::unique_ptr<App> app_;
};
