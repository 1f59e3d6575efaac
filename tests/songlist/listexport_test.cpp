// The main window's commands on the Song List: the titles exported as text, and the list
// index display in decimal or hexadecimal.
#include "songlist/listexport.h"

#include <QDir>

#include "songlist/songlistwindow.h"
#include "songlist_fixture.h"

namespace {

using ListExport = SongListTest;
using IndexDisplay = SongListTest;

TEST_F(ListExport, WritesTheTitlesWithOrWithoutNumbers) {
  fill({"A", "B"});
  platform.dialogAnswers = {path("list"), path("numbered.txt")};
  properties().Check8->setChecked(false);
  main().mSongListTextSave->trigger();
  properties().Check8->setChecked(true);
  main().mSongListTextSave->trigger();
  main().mSongListTextSave->trigger();  // cancelled: nothing written

  ASSERT_EQ(platform.dialogs.size(), 3u);
  EXPECT_EQ(platform.dialogs[0].kind, "save");
  EXPECT_EQ(platform.dialogs[0].title, QString("名前付けて保存"));
  EXPECT_EQ(platform.dialogs[0].filter, QString("テキスト文章(*.txt)"));
  EXPECT_EQ(platform.dialogs[0].folder, folder.path());
  EXPECT_EQ(readFile("list.txt"), "A\r\nB\r\n");
  EXPECT_EQ(readFile("numbered.txt"), "001A\r\n002B\r\n");
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ListExport, NumbersGrowPastThreeDigitsAndJapaneseIsCp932) {
  QStringList titles;
  for (int k = 1; k <= 1000; ++k) titles << QString::fromUtf8("曲%1").arg(k);
  const QByteArray text = formatTitleExport(titles, true);
  const QList<QByteArray> lines = text.split('\n');
  ASSERT_EQ(lines.size(), 1001);
  EXPECT_EQ(lines[0],
            "001\x8b\xc8"
            "1\r");
  EXPECT_EQ(lines[998],
            "999\x8b\xc8"
            "999\r");
  EXPECT_EQ(lines[999],
            "1000\x8b\xc8"
            "1000\r");
  EXPECT_EQ(lines[1000], "");
  EXPECT_EQ(formatTitleExport({}, true), "");
  // A title CP932 cannot hold makes the file UTF-8 rather than losing it.
  EXPECT_EQ(formatTitleExport({QString::fromUtf8("曲\xF0\x9F\x8E\xB5")}, false), "曲\xF0\x9F\x8E\xB5\r\n");
}

// The file written is the one asked about: ".txt" is added only when the chosen name does
// not end with it, and an existing file is replaced only after a Yes.
struct ExportTarget {
  QString chosen;
  QString written;
  bool exists;
  MessageResult answer;  // to the question, when one is asked
};

TEST_F(ListExport, AsksAboutTheFileItWrites) {
  fill({"A"});
  const ExportTarget cases[] = {
      {"list", "list.txt", false, MessageResult::Yes},
      {"list.txt", "list.txt", false, MessageResult::Yes},
      {"LIST.Txt", "LIST.Txt", false, MessageResult::Yes},
      {"list.txt.bak", "list.txt.bak.txt", false, MessageResult::Yes},
      {"old", "old.txt", true, MessageResult::Yes},
      {"old.txt", "old.txt", true, MessageResult::No},
  };
  for (const ExportTarget& target : cases) {
    SCOPED_TRACE(target.chosen.toStdString());
    const QDir dir(folder.path());
    for (const QString& name : dir.entryList(QDir::Files)) QFile::remove(dir.filePath(name));
    if (target.exists) ASSERT_TRUE(writeListFile(path(target.written), {{"x"}, {"y"}}) == WriteStatus::Ok);
    const QByteArray before = readFile(target.written);
    platform.messages.clear();
    platform.messageAnswers = {target.answer};
    platform.dialogAnswers = {path(target.chosen)};
    main().mSongListTextSave->trigger();

    EXPECT_EQ(dir.entryList(QDir::Files), QStringList{target.written});
    const bool replaced = !target.exists || target.answer == MessageResult::Yes;
    EXPECT_EQ(readFile(target.written), replaced ? QByteArray("001A\r\n") : before);
    if (!target.exists) {
      EXPECT_TRUE(platform.messages.empty());
      continue;
    }
    ASSERT_EQ(platform.messages.size(), 1u);
    const ScriptedPlatform::Message& question = platform.messages[0];
    EXPECT_EQ(question.text, "[" + path(target.written) + "]は既に存在します。\r\n上書きしますか？");
    EXPECT_EQ(question.title, QString("上書きの確認"));
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.owner, &main());
  }
}

TEST_F(ListExport, AFileThatCannotBeCreatedIsNamed) {
  fill({"A"});
  const QString chosen = path("missing folder/list");
  platform.dialogAnswers = {chosen};
  main().mSongListTextSave->trigger();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "[" + chosen + ".txt]ファイルを作成できません。\r\n読み取り専用になっている可能性があります。");
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
}

TEST_F(IndexDisplay, MirrorsThePositionInDecimalOrHexadecimal) {
  QStringList twenty;
  for (int k = 1; k <= 20; ++k) twenty << QString::number(k);
  fill(twenty);
  selectEntry(app, 2);
  EXPECT_EQ(main().Label11->text(), "3/20");

  main().mListIndexHex->trigger();
  EXPECT_TRUE(main().mListIndexHex->isChecked());
  EXPECT_FALSE(main().mListIndexDec->isChecked());
  EXPECT_EQ(main().Label11->text(), "2/14");
  EXPECT_EQ(songList().Label1->text(), "3/20");
  selectEntry(app, 15);
  EXPECT_EQ(main().Label11->text(), "F/14");
  selectEntry(app, -1);
  EXPECT_EQ(main().Label11->text(), "0/14");
  appendEntries(app, {"21", "22", "23", "24", "25", "26"}, {"/21", "/22", "/23", "/24", "/25", "/26"});
  selectEntry(app, 10);
  EXPECT_EQ(main().Label11->text(), "A/1A");

  selectEntry(app, 2);
  main().mListIndexHex->trigger();  // checking it again changes nothing
  EXPECT_TRUE(main().mListIndexHex->isChecked());
  main().mListIndexDec->trigger();
  EXPECT_TRUE(main().mListIndexDec->isChecked());
  EXPECT_FALSE(main().mListIndexHex->isChecked());
  EXPECT_EQ(main().Label11->text(), "3/26");
  EXPECT_EQ(songList().Label1->text(), "3/26");
  selectEntry(app, -1);
  main().mListIndexDec->trigger();
  EXPECT_EQ(main().Label11->text(), "0/26");
}

}  // namespace
