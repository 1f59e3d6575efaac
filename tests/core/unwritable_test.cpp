// Every procedure that writes a whole data file, run while the disk is full or a file size
// limit stops the write: the old file keeps its bytes, no temporary file is left behind,
// and the user is told which file could not be written.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <map>
#include <memory>

#include "fakes/faults.h"
#include "fakes/program_test.h"
#include "songlist/songlistwindow.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"

namespace {

enum class Fault { FileSizeLimit, FullDisk };

struct Writer {
  std::string name;
  QString message;  // "%1" stands for the program folder; empty when nothing is said
  std::function<void(App&, ScriptedPlatform&)> save;
};

void PrintTo(const Writer& writer, std::ostream* out) { *out << writer.name; }
void PrintTo(Fault fault, std::ostream* out) {
  *out << (fault == Fault::FullDisk ? "full disk" : "size limit");
}

const QString kListNotWritable = "に書き込めません。\r\n読み取り専用になっている可能性があります。";

const std::vector<Writer> kWriters = {
    {"Settings", "[Option.ini]" + kListNotWritable,
     [](App& app, ScriptedPlatform&) { app.form1().mWtireForm->trigger(); }},
    {"SongListMain", "[List0.dat]" + kListNotWritable,
     [](App& app, ScriptedPlatform&) { app.form2().Command7->click(); }},
    // Playing from the list goes on without a word: the list stays in memory until the next
    // save point, which reports.
    {"SongListPlay", "",
     [](App& app, ScriptedPlatform&) {
       selectEntry(app, 1);  // "a", after the entry read at start-up
       app.form2().Command4->click();
     }},
    {"GenreSwitch", "[List0.dat]" + kListNotWritable,
     [](App& app, ScriptedPlatform&) { app.form2().Combo1->setCurrentIndex(1); }},
    {"GenresAtPropertiesOk", "[Part.dat]" + kListNotWritable,
     [](App& app, ScriptedPlatform&) {
       app.form3().Text3->setText("Jazz");
       app.form3().Command5->click();
       app.form3().Command3->click();
     }},
    {"TitleExport", "[%1/list.txt]ファイルを作成できません。\r\n読み取り専用になっている可能性があります。",
     [](App& app, ScriptedPlatform& platform) {
       platform.dialogAnswers = {app.file("list")};
       app.form1().mSongListTextSave->trigger();
     }},
};

class UnwritableFile : public ProgramTest, public testing::WithParamInterface<std::tuple<Fault, Writer>> {
 protected:
  void SetUp() override {
    if (std::get<Fault>(GetParam()) == Fault::FullDisk) {
      disk_ = std::make_unique<TinyDisk>(folder.path(), 64);
      if (!disk_->mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << disk_->error().toStdString();
    }
    writeFile("Option.ini", "[Kestrune DataFile]\r\nMainTop=900\r\n");
    writeFile("List0.dat", "\"old\"\r\n\"/m/old.mp3\"\r\n");
    writeFile("List1.dat", "\"rock\"\r\n\"/m/rock.mp3\"\r\n");
    writeFile("Part.dat", "\"Rock\"\r\n\"Rock\"\r\n");
    writeFile("list.txt", "old export\r\n");
    start();
    ASSERT_TRUE(platform.messages.empty());
    decoder.addTrack("/m/a.mp3", 60);
    appendEntries(app, {"a", "b", "c"}, {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
  }

  std::map<QString, QByteArray> files() const {
    std::map<QString, QByteArray> contents;
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files | QDir::Hidden))
      if (name != "filler") contents[name] = readFile(name);
    return contents;
  }

  std::unique_ptr<TinyDisk> disk_;
};

TEST_P(UnwritableFile, KeepsTheOldBytesAndSaysSo) {
  const auto& [fault, writer] = GetParam();
  const auto before = files();
  if (disk_) disk_->fill();
  {
    std::unique_ptr<FileSizeLimit> limit;
    if (fault == Fault::FileSizeLimit) limit = std::make_unique<FileSizeLimit>(8);
    writer.save(app, platform);
  }
  EXPECT_EQ(files(), before);
  QStringList shown;
  for (const auto& message : platform.messages) shown << message.text;
  if (writer.message.isEmpty())
    EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
  else
    EXPECT_TRUE(shown.contains(QString(writer.message).replace("%1", folder.path())))
        << shown.join("\n").toStdString();
}

std::string caseName(const testing::TestParamInfo<std::tuple<Fault, Writer>>& info) {
  const Writer& writer = std::get<Writer>(info.param);
  return writer.name + (std::get<Fault>(info.param) == Fault::FullDisk ? "OnAFullDisk" : "OverTheSizeLimit");
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, UnwritableFile,
                         testing::Combine(testing::Values(Fault::FileSizeLimit, Fault::FullDisk),
                                          testing::ValuesIn(kWriters)),
                         caseName);

}  // namespace
