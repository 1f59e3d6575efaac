// Genres: switching the Song List between genre lists, creating and deleting genres in the
// Properties dialog, and Part.dat at its "OK".
#include "songlist/genres.h"

#include <QDir>
#include <memory>

#include "fakes/faults.h"
#include "songlist/songlistwindow.h"
#include "songlist_fixture.h"

namespace {

class Genres : public SongListTest {
 protected:
  // Genres as start-up leaves them: the names in both selectors, genre 0 shown.
  void addGenres(const QStringList& names) {
    properties().Combo3->addItems(names);
    songList().Combo1->addItems(names);
  }
  QStringList genreNames(const QComboBox* selector) const {
    QStringList names;
    for (int k = 0; k < selector->count(); ++k) names << selector->itemText(k);
    return names;
  }
  void createGenre(const QString& name) {
    properties().Text3->setText(name);  // typed
    properties().Command5->click();
  }
  void deleteGenre(int genre, MessageResult answer = MessageResult::Yes) {
    properties().Combo3->setCurrentIndex(genre);
    platform.messageAnswers = {answer};
    properties().Command6->click();
  }
};

TEST_F(Genres, SwitchingSavesTheListShownAndLoadsTheChosenOne) {
  writeList(0, {"zero"});
  writeList(1, {"one"});
  writeList(2, {"two a", "two b"});
  fill({"zero"});
  addGenres({"Rock", "Jazz"});

  songList().Combo1->setCurrentIndex(2);
  EXPECT_EQ(titles(), QStringList({"two a", "two b"}));
  EXPECT_EQ(paths(), QStringList({"/m/two a.mp3", "/m/two b.mp3"}));
  EXPECT_EQ(songList().Label7->text(), "2");
  EXPECT_EQ(songList().Text1->text(), "Jazz");
  appendEntry(app, "/m/new.mp3");
  selectEntry(app, 2);

  songList().Combo1->setCurrentIndex(1);
  EXPECT_EQ(titles(), QStringList{"one"});
  EXPECT_EQ(readListFile(path("List2.dat")).first, QStringList({"two a", "two b", "new"}));
  songList().Combo1->setCurrentIndex(2);
  EXPECT_EQ(titles(), QStringList({"two a", "two b", "new"}));
  EXPECT_EQ(selectedEntry(app), -1);
  EXPECT_FALSE(songList().Command4->isEnabled());
  EXPECT_EQ(songList().Label1->text(), "0/3");
  EXPECT_EQ(songList().Label2->text(), "3");
  EXPECT_EQ(songList().Label9->text(), "Music File Path");
  EXPECT_EQ(readListFile(path("List1.dat")).first, QStringList{"one"});
  EXPECT_EQ(main().Label11->text(), "0/3");

  // A genre shown for the first time starts empty and gets its file.
  createGenre("Pop");
  songList().Combo1->setCurrentIndex(3);
  EXPECT_TRUE(titles().isEmpty());
  EXPECT_EQ(songList().Label1->text(), "0/0");
  EXPECT_TRUE(QFile::exists(path("List3.dat")));
  EXPECT_EQ(readFile("List3.dat"), "");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Genres, AnOutgoingListThatCannotBeWrittenIsReportedAndTheSwitchIsCalledOff) {
  writeList(1, {"one"});
  addGenres({"Rock"});
  ASSERT_TRUE(QDir(folder.path()).mkdir("List0.dat"));
  fill({"unsaved", "typed"});
  selectEntry(app, 1);
  songList().Combo1->setCurrentIndex(1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].text,
            QString("[List0.dat]に書き込めません。\r\n読み取り専用になっている可能性があります。"));
  EXPECT_EQ(platform.messages[0].owner, &songList());
  EXPECT_EQ(songList().Combo1->currentIndex(), 0);
  EXPECT_EQ(songList().Label7->text(), "0");
  EXPECT_EQ(titles(), QStringList({"unsaved", "typed"}));
  EXPECT_EQ(paths(), QStringList({"/m/unsaved.mp3", "/m/typed.mp3"}));
  EXPECT_EQ(selectedEntry(app), 1);

  // Deleting a genre starts with the same switch, so it is called off as well.
  deleteGenre(1);
  EXPECT_EQ(platform.messages.size(), 3u);
  EXPECT_EQ(genreNames(songList().Combo1), QStringList({kAllGenres, "Rock"}));
  EXPECT_TRUE(QFile::exists(path("List1.dat")));
  EXPECT_EQ(titles(), QStringList({"unsaved", "typed"}));

  // Once the file can be written, the same switch goes through and keeps the entries.
  ASSERT_TRUE(QDir(folder.path()).rmdir("List0.dat"));
  songList().Combo1->setCurrentIndex(1);
  EXPECT_EQ(titles(), QStringList{"one"});
  EXPECT_EQ(readListFile(path("List0.dat")).first, QStringList({"unsaved", "typed"}));
}

TEST_F(Genres, CreatedGenresAreStoredAtOkOnly) {
  EXPECT_FALSE(properties().Command5->isEnabled());
  QTest::keyClicks(properties().Text3, "Ro");
  EXPECT_TRUE(properties().Command5->isEnabled());
  properties().Text3->clear();
  EXPECT_FALSE(properties().Command5->isEnabled());

  createGenre("Rock");
  EXPECT_EQ(properties().Text3->text(), "");
  EXPECT_FALSE(properties().Command5->isEnabled());
  main().Label23->setText("1");
  properties().Command4->click();  // Calsel
  EXPECT_FALSE(QFile::exists(path("Part.dat")));
  EXPECT_EQ(main().Label23->text(), "0");

  createGenre("Jazz \"1959\" 曲");
  const QStringList expected = {kAllGenres, "Rock", "Jazz \"1959\" 曲"};
  EXPECT_EQ(genreNames(properties().Combo3), expected);
  EXPECT_EQ(genreNames(songList().Combo1), expected);
  EXPECT_EQ(songList().Combo1->currentIndex(), 0);
  properties().Combo3->setCurrentIndex(1);
  EXPECT_TRUE(properties().Command6->isEnabled());
  properties().Combo3->setCurrentIndex(0);
  EXPECT_FALSE(properties().Command6->isEnabled());

  properties().show();
  main().Label23->setText("1");
  properties().Command3->click();  // OK
  EXPECT_FALSE(properties().isVisible());
  EXPECT_EQ(main().Label23->text(), "0");
  EXPECT_TRUE(QFile::exists(path("Option.ini")));
  // A name with double quotes is stored with them doubled and reads back as typed.
  const FieldPairs stored = readListFile(path("Part.dat"));
  EXPECT_EQ(stored.first, expected.mid(1));
  EXPECT_EQ(stored.second, expected.mid(1));
  EXPECT_TRUE(readFile("Part.dat").startsWith("\"Rock\"\r\n\"Rock\"\r\n\"Jazz \"\"1959\"\" "));

  // The close box is "Calsel".
  main().Label23->setText("1");
  properties().show();
  properties().close();
  EXPECT_EQ(main().Label23->text(), "0");
}

TEST_F(Genres, DeletingAMiddleGenreKeepsEveryOtherGenresSongs) {
  writeList(0, {"all"});
  writeList(1, {"rock"});
  writeList(2, {"jazz"});
  writeList(3, {"pop"});
  addGenres({"Rock", "Jazz", "Pop"});
  properties().Command3->click();  // Part.dat holds the three genres
  fill({"all"});
  songList().Combo1->setCurrentIndex(3);
  appendEntry(app, "/m/unsaved pop.mp3");

  deleteGenre(2, MessageResult::No);
  EXPECT_EQ(genreNames(songList().Combo1).size(), 4);
  EXPECT_TRUE(QFile::exists(path("List2.dat")));

  deleteGenre(2);
  const ScriptedPlatform::Message& question = platform.messages.back();
  EXPECT_EQ(question.title, QString("ジャンル 削除の確認"));
  EXPECT_EQ(question.text,
            QString("　　ジャンル[Jazz]を削除します。\r\n同時に対応ジャンルのSong Listも削除されます。\r\n"
                    "宜しいですか？"));
  EXPECT_EQ(question.buttons, MessageButtons::YesNo);
  EXPECT_EQ(question.icon, MessageIcon::Question);

  const QStringList remaining = {kAllGenres, "Rock", "Pop"};
  EXPECT_EQ(genreNames(properties().Combo3), remaining);
  EXPECT_EQ(genreNames(songList().Combo1), remaining);
  EXPECT_EQ(properties().Combo3->currentIndex(), 0);
  EXPECT_EQ(songList().Combo1->currentIndex(), 0);
  EXPECT_FALSE(properties().Command6->isEnabled());
  EXPECT_EQ(titles(), QStringList{"all"});
  EXPECT_EQ(songList().Label7->text(), "0");
  EXPECT_EQ(songList().Text1->text(), kAllGenres);

  EXPECT_FALSE(QFile::exists(path("List3.dat")));
  songList().Combo1->setCurrentIndex(2);
  EXPECT_EQ(titles(), QStringList({"pop", "unsaved pop"}));

  // After a restart every genre still shows its own songs.
  Restarted restarted(folder.path());
  Form2& again = restarted.app.form2();
  EXPECT_EQ(genreNames(again.Combo1), remaining);
  EXPECT_EQ(again.List1->texts(), QStringList{"all"});
  again.Combo1->setCurrentIndex(1);
  EXPECT_EQ(again.List1->texts(), QStringList{"rock"});
  again.Combo1->setCurrentIndex(2);
  EXPECT_EQ(again.List1->texts(), QStringList({"pop", "unsaved pop"}));
  EXPECT_TRUE(restarted.platform.messages.empty());
}

TEST_F(Genres, DeletingTheGenreShownShowsTheAllGenresListOnce) {
  writeList(0, {"a", "b"});
  writeList(1, {"rock"});
  addGenres({"Rock"});
  fill({"a", "b"});
  songList().Combo1->setCurrentIndex(1);
  deleteGenre(1);
  EXPECT_EQ(titles(), QStringList({"a", "b"}));
  EXPECT_EQ(paths(), QStringList({"/m/a.mp3", "/m/b.mp3"}));
  EXPECT_FALSE(QFile::exists(path("List1.dat")));
  EXPECT_EQ(platform.deleted, QStringList{path("List1.dat.deleted")});
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"List0.dat"}));
  EXPECT_EQ(genreNames(songList().Combo1), QStringList{kAllGenres});
}

// The deletion is stored at once: leaving the dialog with "Calsel" does not bring it back.
TEST_F(Genres, DeletingTheLastGenreThenCalselRemovesItForGood) {
  writeList(0, {"all"});
  writeList(1, {"rock"});
  writeList(2, {"jazz"});
  addGenres({"Rock", "Jazz"});
  properties().Command3->click();  // Part.dat holds both genres
  properties().show();
  deleteGenre(2);
  properties().Command4->click();  // Calsel
  EXPECT_EQ(readListFile(path("Part.dat")).first, QStringList{"Rock"});
  EXPECT_FALSE(QFile::exists(path("List2.dat")));

  Restarted restarted(folder.path());
  EXPECT_EQ(genreNames(restarted.app.form2().Combo1), QStringList({kAllGenres, "Rock"}));
  EXPECT_EQ(genreNames(restarted.app.form3().Combo3), QStringList({kAllGenres, "Rock"}));
}

// Deleting Jazz (genre 2) of Rock, Jazz, Pop and Folk while Rock is shown with an entry not
// saved yet. Whichever step fails, after a restart every genre left shows its own songs.
struct DeletionFault {
  std::string name;
  QString busyFile;  // a file that can be neither renamed nor removed (empty: none)
  bool folderInPlaceOfTheList = false;
  QString message;  // the file the message names (empty: no message)
  bool deleted;     // the deletion went through
};

void PrintTo(const DeletionFault& fault, std::ostream* out) { *out << fault.name; }

class GenreDeletionFault : public Genres, public ::testing::WithParamInterface<DeletionFault> {};

TEST_P(GenreDeletionFault, EveryGenreKeepsItsOwnSongs) {
  const DeletionFault& fault = GetParam();
  const QStringList genres = {"Rock", "Jazz", "Pop", "Folk"};
  writeList(0, {"all"});
  for (int genre = 1; genre <= 4; ++genre) writeList(genre, {genres[genre - 1].toLower()});
  addGenres(genres);
  properties().Command3->click();  // Part.dat holds the four genres
  fill({"all"});
  songList().Combo1->setCurrentIndex(1);
  appendEntry(app, "/m/unsaved rock.mp3");
  if (fault.folderInPlaceOfTheList) {
    ASSERT_TRUE(QFile::remove(path("List2.dat")));
    ASSERT_TRUE(QDir(folder.path()).mkpath("List2.dat/inside"));
  }
  {
    std::unique_ptr<BusyFile> busy;
    if (!fault.busyFile.isEmpty()) {
      busy = std::make_unique<BusyFile>(path(fault.busyFile), path(fault.busyFile));
      if (!busy->mounted()) GTEST_SKIP() << "cannot bind-mount a file here: " << busy->error().toStdString();
    }
    deleteGenre(2);
  }

  const QStringList messages = [&] {
    QStringList texts;
    for (const auto& message : platform.messages) texts << message.text;
    return texts.mid(1);  // after the question
  }();
  if (fault.message.isEmpty())
    EXPECT_TRUE(messages.isEmpty()) << messages.join("\n").toStdString();
  else
    EXPECT_EQ(messages, QStringList{"[" + fault.message +
                                    "]に書き込めません。\r\n読み取り専用になっている可能性があります。"});
  QStringList left = genres;
  if (fault.deleted) left.removeAt(1);
  EXPECT_EQ(genreNames(songList().Combo1).mid(1), left);
  EXPECT_EQ(genreNames(properties().Combo3).mid(1), left);
  QStringList leftFiles;
  for (int genre = 0; genre <= left.size(); ++genre) leftFiles << listFileName(genre);
  leftFiles.append({"Option.ini", "Part.dat", "Sound.dat"});
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name), leftFiles);

  Restarted restarted(folder.path());
  Form2& again = restarted.app.form2();
  ASSERT_EQ(genreNames(again.Combo1).mid(1), left);
  EXPECT_EQ(again.List1->texts(), QStringList{"all"});
  for (int genre = 1; genre <= left.size(); ++genre) {
    again.Combo1->setCurrentIndex(genre);
    QStringList expected = {left[genre - 1].toLower()};
    if (genre == 1) expected << "unsaved rock";
    EXPECT_EQ(again.List1->texts(), expected) << left[genre - 1].toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(
    AtEachStep, GenreDeletionFault,
    ::testing::Values(DeletionFault{"Done", {}, false, {}, true},
                      DeletionFault{"ListCannotBeSetAside", "List2.dat", false, "List2.dat", false},
                      DeletionFault{"FirstMoveFails", "List3.dat", false, "List3.dat", false},
                      DeletionFault{"LastMoveFails", "List4.dat", false, "List4.dat", false},
                      DeletionFault{"GenreFileCannotBeWritten", "Part.dat", false, "Part.dat", false},
                      DeletionFault{"ListCannotBeRemoved", {}, true, {}, true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
