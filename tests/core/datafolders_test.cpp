// Where the data files live: the program folder while it can be written, else the user's
// XDG folders, named by the XDG variables or by their defaults under the home folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "core/app.h"
#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "ui/form1.h"

namespace {

// "~" in a variable or an expected folder stands for the test's home folder; an empty
// expected folder for the program folder.
struct Case {
  std::string name;
  bool readOnly;
  QByteArray configHome, dataHome;
  QString settingsFolder, dataFolder;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class DataFolders : public testing::TestWithParam<Case> {
 protected:
  QString expand(const QString& text) const { return QString(text).replace('~', home_.path()); }
  QString expected(const QString& folder) const {
    return folder.isEmpty() ? program_.path() : expand(folder);
  }

  QTemporaryDir program_, home_;
  ScriptedDecoder decoder_;
  ScriptedPlatform platform_;
};

TEST_P(DataFolders, StartSaveAndOpenTheFolder) {
  const Case& c = GetParam();
  ScopedVariable home("HOME", home_.path().toUtf8());
  ScopedVariable configHome("XDG_CONFIG_HOME",
                            c.configHome.isNull() ? c.configHome : expand(c.configHome).toUtf8());
  ScopedVariable dataHome("XDG_DATA_HOME", c.dataHome.isNull() ? c.dataHome : expand(c.dataHome).toUtf8());
  std::unique_ptr<ReadOnlyFolder> readOnly;
  if (c.readOnly) {
    readOnly = std::make_unique<ReadOnlyFolder>(program_.path());
    if (!readOnly->mounted())
      GTEST_SKIP() << "cannot mount read-only here: " << readOnly->error().toStdString();
  }

  App app(decoder_, platform_, program_.path());
  Form1_Form_Load(app);
  app.form1().mWtireForm->trigger();
  app.form1().mFolder->trigger();

  EXPECT_TRUE(platform_.messages.empty()) << platform_.messages[0].text.toStdString();
  EXPECT_FALSE(platform_.exitCode);
  const QString settings = expected(c.settingsFolder), data = expected(c.dataFolder);
  EXPECT_EQ(app.folder(), program_.path());
  EXPECT_EQ(app.dataFolder(), data);
  EXPECT_EQ(app.file("Option.ini"), settings + "/Option.ini");
  EXPECT_EQ(app.file("Sound.dat"), data + "/Sound.dat");
  EXPECT_TRUE(QFile::exists(settings + "/Option.ini"));
  EXPECT_TRUE(QFile::exists(data + "/List0.dat"));
  EXPECT_TRUE(QFile::exists(data + "/Part.dat"));
  EXPECT_EQ(platform_.shellOpened, QStringList{data});
  if (c.readOnly) EXPECT_TRUE(QDir(program_.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rule, DataFolders,
                         testing::Values(Case{"WritableProgramFolderKeepsEverything", false, "~/cfg",
                                              "~/data", "", ""},
                                         Case{"ReadOnlyUsesTheXdgVariables", true, "~/cfg", "~/data",
                                              "~/cfg/kestrune", "~/data/kestrune"},
                                         Case{"ReadOnlyWithoutVariablesUsesTheDefaults", true, QByteArray(),
                                              QByteArray(), "~/.config/kestrune", "~/.local/share/kestrune"},
                                         Case{"RelativeVariablesAreIgnored", true, "cfg", "data",
                                              "~/.config/kestrune", "~/.local/share/kestrune"}),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

}  // namespace
