// "再生" in the Song List window: the list saved, the entry loaded into the main window and
// played, the window hidden; a file that does not open leaves the window as it was.
#include "songlist/listplay.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <functional>

#include "songlist/songlistwindow.h"
#include "songlist_fixture.h"
#include "ui/form5.h"

namespace {

using ListPlay = SongListTest;

TEST_F(ListPlay, PlaysTheSelectedEntryAndTheMainWindowGoesOnFromIt) {
  fill({"A", "B", "C"});
  for (const QString& path : paths()) decoder.addTrack(path, 200);
  selectEntry(app, 1);
  const QString position = main().Label11->text();

  // Shown as the main window's menu shows it: modally, until "再生" hides it.
  bool modal = false;
  QTimer::singleShot(0, [&] {
    modal = QApplication::activeModalWidget() == &songList();
    songList().Command4->click();
  });
  main().mSongList->trigger();
  EXPECT_TRUE(modal);
  EXPECT_TRUE(songList().isHidden());

  EXPECT_EQ(readFile("List0.dat"),
            "\"A\"\r\n\"/m/A.mp3\"\r\n\"B\"\r\n\"/m/B.mp3\"\r\n\"C\"\r\n\"/m/C.mp3\"\r\n");
  EXPECT_EQ(decoder.calls.mid(0, 3), QStringList({"stop()", "open(/m/B.mp3)", "stop()"}));
  EXPECT_EQ(decoder.calls.filter("play()").size(), 1);
  EXPECT_EQ(decoder.current.state, 1);
  EXPECT_EQ(main().Text1->text(), "/m/B.mp3");
  EXPECT_EQ(main().Label13->text(), "B");
  EXPECT_FALSE(main().Command1->isEnabled());
  EXPECT_TRUE(main().Command2->isEnabled());
  EXPECT_EQ(main().Label11->text(), position);  // still the entry's position, not "-/3"
  EXPECT_FALSE(main().mListAdd->isEnabled());
  EXPECT_EQ(selectedEntry(app), 1);

  main().Command7->click();  // the main window's next: the entry after it
  EXPECT_EQ(decoder.openPath, "/m/C.mp3");
  EXPECT_TRUE(platform.messages.empty());
}

// Runs `onShow` when the watched window is shown.
class ShowWatcher : public QObject {
 public:
  explicit ShowWatcher(std::function<void()> onShow) : onShow_(std::move(onShow)) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) onShow_();
    return false;
  }

 private:
  std::function<void()> onShow_;
};

TEST_F(ListPlay, PlaysWhateverTheOptionsAndTheListFileAndShowsTheTagEditorAfterHiding) {
  fill({"A"});
  decoder.addTrack("/m/A.mp3", 200);
  ASSERT_TRUE(QDir(folder.path()).mkdir("List0.dat"));  // cannot be written: not reported
  properties().Check6->setChecked(false);
  main().mPTag->setChecked(true);
  selectEntry(app, 0);
  songList().show();
  bool listHiddenFirst = false;
  ShowWatcher watcher([&] { listHiddenFirst = songList().isHidden(); });
  app.form5().installEventFilter(&watcher);
  songList().Command4->click();
  EXPECT_FALSE(app.form5().isHidden());
  EXPECT_TRUE(listHiddenFirst);
  EXPECT_EQ(decoder.current.state, 1);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(ListPlay, AFileThatDoesNotOpenLeavesTheWindowAndEmptiesTheMainWindow) {
  fill({"A"});
  platform.dialogAnswers = {"/gone/New.mp3"};
  songList().Command1->click();  // "追加...": the entry exists only in memory
  selectEntry(app, 1);
  songList().show();
  main().Command1->setEnabled(true);
  main().Command2->setEnabled(true);
  const QString position = songList().Label1->text();

  songList().Command4->click();

  EXPECT_TRUE(readFile("List0.dat").contains("\"New\"\r\n\"/gone/New.mp3\"\r\n"));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            "指定させたファイルが存在しません。\r\n又は拡張子がサポートされてないファイルです。");
  EXPECT_EQ(platform.messages[0].title, "Kestrune");
  EXPECT_EQ(decoder.calls, QStringList({"stop()", "open(/gone/New.mp3)", "stop()"}));
  EXPECT_FALSE(songList().isHidden());
  EXPECT_EQ(songList().Label1->text(), position);
  EXPECT_TRUE(songList().Command1->isEnabled());
  EXPECT_TRUE(songList().Command2->isEnabled());
  EXPECT_FALSE(main().Command1->isEnabled());
  EXPECT_FALSE(main().Command2->isEnabled());
  EXPECT_EQ(main().windowTitle(), "Kestrune");
  EXPECT_EQ(main().Text1->text(), "/gone/New.mp3");
}

}  // namespace
