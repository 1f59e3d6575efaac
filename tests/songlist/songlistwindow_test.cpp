// The Song List window's commands and the selection rules that follow every change.
#include "songlist/songlistwindow.h"

#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "playback/load.h"
#include "songlist_fixture.h"

namespace {

using Window = SongListTest;

TEST_F(Window, SelectionKeepsPathsLabelsAndPlayButtonInStep) {
  fill({"A", "B", "C"});
  EXPECT_FALSE(songList().Command4->isEnabled());

  songList().List1->setSelectedRow(1);  // as the user or the main window's navigation does
  EXPECT_EQ(songList().List2->selectedRow(), 1);
  EXPECT_EQ(songList().Label1->text(), "2/3");
  EXPECT_EQ(songList().Label2->text(), "3");
  EXPECT_EQ(songList().Label9->text(), "/m/B.mp3");
  EXPECT_TRUE(songList().Command4->isEnabled());
  EXPECT_EQ(main().Label11->text(), "2/3");

  selectEntry(app, -1);
  EXPECT_EQ(selectedEntry(app), -1);
  EXPECT_EQ(songList().List2->selectedRow(), -1);
  EXPECT_EQ(songList().Label1->text(), "0/3");
  EXPECT_EQ(songList().Label9->text(), "");
  EXPECT_FALSE(songList().Command4->isEnabled());

  // Clicking an entry with the mouse selects it.
  songList().show();
  const QRect third = songList().List1->visualRect(songList().List1->model()->index(2, 0));
  QTest::mouseClick(songList().List1->viewport(), Qt::LeftButton, {}, third.center());
  EXPECT_EQ(songList().Label1->text(), "3/3");
  EXPECT_TRUE(songList().Command4->isEnabled());
}

TEST_F(Window, AddsOneFileFromTheDialog) {
  properties().Text1->setText("/music");
  platform.dialogAnswers = {"/music/Song A.mp3", ""};
  songList().Command1->click();
  songList().Command1->click();  // cancelled
  ASSERT_EQ(platform.dialogs.size(), 2u);
  EXPECT_EQ(platform.dialogs[0].kind, "open");
  EXPECT_EQ(platform.dialogs[0].title, QString("開く"));
  EXPECT_EQ(platform.dialogs[0].filter, kSoundFileFilter);
  EXPECT_EQ(platform.dialogs[0].folder, "/music");
  EXPECT_EQ(titles(), QStringList{"Song A"});
  EXPECT_EQ(paths(), QStringList{"/music/Song A.mp3"});
  EXPECT_EQ(songList().Label1->text(), "0/1");
  EXPECT_EQ(songList().Label2->text(), "1");

  properties().Text1->setText("");
  platform.dialogAnswers = {QString::fromUtf8("/m/曲 \xF0\x9F\x8E\xB5.v2.wav")};
  songList().Command1->click();
  EXPECT_EQ(platform.dialogs.back().folder, folder.path());
  EXPECT_EQ(titles().last(), QString::fromUtf8("曲 \xF0\x9F\x8E\xB5.v2"));
}

TEST_F(Window, AddsTheLowerCaseMp3FilesOfAFolder) {
  QTemporaryDir music;
  for (const char* name : {"a.mp3", "b.MP3", "c.wav", "d.mp3", "e.Mp3", "曲.mp3"}) {
    QFile f(music.filePath(QString::fromUtf8(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  ASSERT_TRUE(QDir(music.path()).mkdir("sub.mp3"));
  fill({"X"});
  selectEntry(app, 0);
  QTemporaryDir second;
  QFile(second.filePath("z.mp3")).open(QIODevice::WriteOnly);
  platform.dialogAnswers = {music.path(), second.path()};
  songList().Command8->click();
  songList().Command8->click();
  songList().Command8->click();  // cancelled: nothing more
  EXPECT_EQ(platform.dialogs.front().title, QString("一括でリストに追加するフォルダを選択してください。"));
  EXPECT_EQ(titles(), QStringList({"X", "a", "d", QString::fromUtf8("曲"), "z"}));
  EXPECT_EQ(paths()[1], music.filePath("a.mp3"));
  EXPECT_EQ(paths()[4], second.filePath("z.mp3"));
  EXPECT_EQ(songList().Text2->text(), second.path());
  EXPECT_EQ(songList().Label1->text(), "1/5");
  EXPECT_EQ(songList().Label2->text(), "5");

  // A folder that cannot be read, or is gone by the time it is listed, adds nothing.
  QFile::setPermissions(music.path(), QFileDevice::WriteOwner);
  const bool unreadable = !QFileInfo(music.path()).isReadable();  // root reads it all the same
  platform.dialogAnswers = {unreadable ? music.path() : music.filePath("gone"), music.filePath("gone")};
  songList().Command8->click();
  songList().Command8->click();
  QFile::setPermissions(music.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  EXPECT_EQ(titles().size(), 5);
}

TEST_F(Window, AddsAFolderOfTenThousandFiles) {
  // In memory where possible: creating 10,000 files on a busy disk takes seconds.
  QTemporaryDir music(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/kestrune-XXXXXX" : QString());
  for (int k = 0; k < 10000; ++k) {
    const QByteArray name =
        QFile::encodeName(music.filePath(QStringLiteral("track %1.mp3").arg(k, 5, 10, QChar('0'))));
    ASSERT_EQ(::close(::open(name.constData(), O_WRONLY | O_CREAT, 0644)), 0);
  }
  platform.dialogAnswers = {music.path()};
  songList().Command8->click();
  EXPECT_EQ(songList().Label2->text(), "10000");
  EXPECT_EQ(titles().first(), "track 00000");
  EXPECT_EQ(paths().last(), music.filePath("track 09999.mp3"));
}

QMimeData* files(const QStringList& paths) {
  auto* data = new QMimeData;
  QList<QUrl> urls;
  for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
  data->setUrls(urls);
  return data;
}

TEST_F(Window, DropsTheFirstAudioFileAndSelectsIt) {
  fill({"A"});
  std::unique_ptr<QMimeData> text(new QMimeData);
  text->setText("/m/x.mp3");
  Form2_List1_OLEDragDrop(app, *text);
  Form2_List1_OLEDragDrop(app, *std::unique_ptr<QMimeData>(files({"/m/b.wma"})));
  Form2_List1_OLEDragDrop(app, *std::unique_ptr<QMimeData>(files({"/m/notes.txt", "/m/c.mp3"})));
  EXPECT_EQ(titles(), QStringList{"A"});

  Form2_List1_OLEDragDrop(app, *std::unique_ptr<QMimeData>(files({"/m/b.WAV", "/m/c.mp3", "/m/d.mp3"})));
  EXPECT_EQ(titles(), QStringList({"A", "b"}));
  EXPECT_EQ(paths(), QStringList({"/m/A.mp3", "/m/b.WAV"}));
  EXPECT_EQ(selectedEntry(app), 1);
  EXPECT_EQ(songList().Label1->text(), "2/2");
  EXPECT_EQ(songList().Label9->text(), "/m/b.WAV");

  // Through the window: a real drop event on the titles.
  songList().show();
  QWidget* target = songList().List1->viewport();
  std::unique_ptr<QMimeData> data(files({"/m/e.mp3"}));
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data.get(), Qt::LeftButton, {});
  QApplication::sendEvent(target, &drop);
  EXPECT_EQ(titles().last(), "e");
  EXPECT_EQ(selectedEntry(app), 2);
}

TEST_F(Window, DeletesClearsAndMovesEntries) {
  fill({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
  songList().Command2->click();  // nothing selected: nothing happens
  EXPECT_EQ(titles().size(), 9);

  selectEntry(app, 4);
  songList().Command5->click();
  EXPECT_EQ(titles().mid(2, 3), QStringList({"3", "5", "4"}));
  EXPECT_EQ(paths()[3], "/m/5.mp3");
  EXPECT_EQ(songList().Label1->text(), "4/9");
  EXPECT_EQ(songList().List2->selectedRow(), 3);

  selectEntry(app, 7);
  songList().Command6->click();
  EXPECT_EQ(titles().last(), "8");
  EXPECT_EQ(paths().last(), "/m/8.mp3");
  EXPECT_EQ(selectedEntry(app), 8);
  songList().Command6->click();  // the last: nothing happens
  selectEntry(app, 0);
  songList().Command5->click();  // the first: nothing happens
  EXPECT_EQ(titles(), QStringList({"1", "2", "3", "5", "4", "6", "7", "9", "8"}));

  selectEntry(app, 2);
  songList().Command2->click();
  EXPECT_EQ(titles(), QStringList({"1", "2", "5", "4", "6", "7", "9", "8"}));
  EXPECT_EQ(paths()[2], "/m/5.mp3");
  EXPECT_EQ(selectedEntry(app), -1);
  EXPECT_EQ(songList().Label1->text(), "0/8");
  EXPECT_EQ(songList().Label2->text(), "8");
  EXPECT_EQ(songList().Label9->text(), "Music File Path");
  EXPECT_FALSE(songList().Command4->isEnabled());

  // Clearing asks first; No keeps everything.
  main().setWindowTitle(QString::fromUtf8("Kestrune　【A】"));
  selectEntry(app, 1);
  platform.messageAnswers = {MessageResult::No, MessageResult::Yes};
  songList().Command3->click();
  EXPECT_EQ(titles().size(), 8);
  songList().Command3->click();
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].title, QString("Song List Formatの確認"));
  EXPECT_EQ(platform.messages[0].text, QString("Song Listをフォーマットします,宜しいですか？"));
  EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
  EXPECT_TRUE(titles().isEmpty());
  EXPECT_TRUE(paths().isEmpty());
  EXPECT_EQ(songList().Label1->text(), "0/0");
  EXPECT_EQ(songList().Label2->text(), "0");
  EXPECT_EQ(songList().Label9->text(), "Music File Path");
  EXPECT_FALSE(songList().Command4->isEnabled());
  EXPECT_EQ(main().windowTitle(), "Kestrune");
  EXPECT_FALSE(main().Command4->isEnabled());
}

TEST_F(Window, DoubleClickCopiesTheTitle) {
  fill({"A", QString::fromUtf8("曲")});
  selectEntry(app, 1);
  Form2_List1_DblClick(app);
  EXPECT_EQ(platform.clipboard, QString::fromUtf8("曲"));
  EXPECT_EQ(songList().Label9->text(), QString::fromUtf8("【曲】をクリップボードにコピーしました。"));
  EXPECT_EQ(selectedEntry(app), 1);
}

// Shows the window as the main window's menu does (a modal loop) and runs `action` in it;
// true when the window was the modal one and `action` ended the loop by hiding it.
bool whileShown(App& app, QAction* menuItem, const std::function<void()>& action) {
  bool modal = false;
  QTimer::singleShot(0, [&] {
    modal = QApplication::activeModalWidget() == &app.form2();
    action();
  });
  menuItem->trigger();
  return modal && app.form2().isHidden();
}

TEST_F(Window, MainWritesTheListAndCloseBoxDoesNot) {
  writeList(0, {"old"});
  fill({"A", "B"});
  EXPECT_TRUE(whileShown(app, main().mSongList, [&] { songList().close(); }));
  EXPECT_EQ(readListFile(path("List0.dat")).first, QStringList{"old"});

  EXPECT_TRUE(whileShown(app, main().mSongList, [&] { songList().Command7->click(); }));
  EXPECT_EQ(readFile("List0.dat"), "\"A\"\r\n\"/m/A.mp3\"\r\n\"B\"\r\n\"/m/B.mp3\"\r\n");
  EXPECT_TRUE(platform.messages.empty());

  // A file that cannot be written (here a folder in its place): the message, the window
  // hidden all the same.
  ASSERT_TRUE(QFile::remove(path("List0.dat")));
  ASSERT_TRUE(QDir(folder.path()).mkdir("List0.dat"));
  EXPECT_TRUE(whileShown(app, main().mSongList, [&] { songList().Command7->click(); }));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            QString("[List0.dat]に書き込めません。\r\n読み取り専用になっている可能性があります。"));
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
}

TEST_F(Window, RegistersTheMainWindowsFile) {
  fill({"A"});
  selectEntry(app, 0);
  main().Text1->setText("/m/x/X.mp3");
  main().mListAdd->setEnabled(true);
  main().mListAdd->trigger();
  EXPECT_EQ(titles(), QStringList({"A", "X"}));
  EXPECT_EQ(paths().last(), "/m/x/X.mp3");
  EXPECT_EQ(songList().Label1->text(), "1/2");
  EXPECT_EQ(songList().Label2->text(), "2");
  EXPECT_FALSE(main().mListAdd->isEnabled());
}

TEST_F(Window, RefusesEntriesBeyondTheLimitAndKeepsTheRest) {
  QStringList many;
  for (int k = 0; k < kMaxListEntries - 1; ++k) many << QString::number(k);
  ASSERT_TRUE(appendEntries(app, many, many));
  EXPECT_EQ(songList().Label2->text(), "32766");

  platform.dialogAnswers = {"/m/last.mp3", "/m/more.mp3"};
  songList().Command1->click();
  EXPECT_TRUE(platform.messages.empty());
  songList().Command1->click();
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            QString("Song Listに登録できるのは32767曲までです。\r\nこれ以上は追加できません。"));
  Form2_List1_OLEDragDrop(app, *std::unique_ptr<QMimeData>(files({"/m/dropped.mp3"})));
  EXPECT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(entryCount(app), kMaxListEntries);
  EXPECT_EQ(songList().List2->count(), kMaxListEntries);
  EXPECT_EQ(titles().last(), "last");
  EXPECT_EQ(selectedEntry(app), -1);

  // The full list is written whole and reads back whole.
  songList().Command7->click();
  const FieldPairs stored = readListFile(path("List0.dat"));
  EXPECT_EQ(stored.first.size(), kMaxListEntries);
  EXPECT_EQ(stored.second.last(), "/m/last.mp3");
}

}  // namespace
