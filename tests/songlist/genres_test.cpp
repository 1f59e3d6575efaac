// Genres: switching the Song List between genre lists, creating and deleting genres in the
// Properties dialog, and Part.dat at its "OK".
#include "songlist/genres.h"

#include <QDir>

#include "core/startup.h"
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
    platform_.messageAnswers = {answer};
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
  appendEntry(app_, "/m/new.mp3");
  selectEntry(app_, 2);

  songList().Combo1->setCurrentIndex(1);
  EXPECT_EQ(titles(), QStringList{"one"});
  EXPECT_EQ(readListFile(file("List2.dat")).first, QStringList({"two a", "two b", "new"}));
  songList().Combo1->setCurrentIndex(2);
  EXPECT_EQ(titles(), QStringList({"two a", "two b", "new"}));
  EXPECT_EQ(selectedEntry(app_), -1);
  EXPECT_FALSE(songList().Command4->isEnabled());
  EXPECT_EQ(songList().Label1->text(), "0/3");
  EXPECT_EQ(songList().Label2->text(), "3");
  EXPECT_EQ(songList().Label9->text(), "Music File Path");
  EXPECT_EQ(readListFile(file("List1.dat")).first, QStringList{"one"});
  EXPECT_EQ(main().Label11->text(), "0/3");

  // A genre shown for the first time starts empty and gets its file.
  createGenre("Pop");
  songList().Combo1->setCurrentIndex(3);
  EXPECT_TRUE(titles().isEmpty());
  EXPECT_EQ(songList().Label1->text(), "0/0");
  EXPECT_TRUE(QFile::exists(file("List3.dat")));
  EXPECT_EQ(bytes("List3.dat"), "");
  EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(Genres, AnOutgoingListThatCannotBeWrittenIsReportedAndTheSwitchGoesOn) {
  writeList(1, {"one"});
  addGenres({"Rock"});
  ASSERT_TRUE(QDir(dir_.path()).mkdir("List0.dat"));
  fill({"unsaved"});
  songList().Combo1->setCurrentIndex(1);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].text,
            QString("[List0.dat]に書き込めません。\r\n読み取り専用になっている可能性があります。"));
  EXPECT_EQ(titles(), QStringList{"one"});
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
  EXPECT_FALSE(QFile::exists(file("Part.dat")));
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
  EXPECT_TRUE(QFile::exists(file("Option.ini")));
  // A name with double quotes is stored with them doubled and reads back as typed.
  const FieldPairs stored = readListFile(file("Part.dat"));
  EXPECT_EQ(stored.first, expected.mid(1));
  EXPECT_EQ(stored.second, expected.mid(1));
  EXPECT_TRUE(bytes("Part.dat").startsWith("\"Rock\"\r\n\"Rock\"\r\n\"Jazz \"\"1959\"\" "));

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
  appendEntry(app_, "/m/unsaved pop.mp3");

  deleteGenre(2, MessageResult::No);
  EXPECT_EQ(genreNames(songList().Combo1).size(), 4);
  EXPECT_TRUE(QFile::exists(file("List2.dat")));

  deleteGenre(2);
  const ScriptedPlatform::Message& question = platform_.messages.back();
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

  EXPECT_FALSE(QFile::exists(file("List3.dat")));
  songList().Combo1->setCurrentIndex(2);
  EXPECT_EQ(titles(), QStringList({"pop", "unsaved pop"}));

  // After a restart every genre still shows its own songs.
  ScriptedDecoder decoder;
  ScriptedPlatform platform;
  App restarted(decoder, platform, dir_.path());
  Form1_Form_Load(restarted);
  Form2& again = restarted.form2();
  EXPECT_EQ(genreNames(again.Combo1), remaining);
  EXPECT_EQ(again.List1->texts(), QStringList{"all"});
  again.Combo1->setCurrentIndex(1);
  EXPECT_EQ(again.List1->texts(), QStringList{"rock"});
  again.Combo1->setCurrentIndex(2);
  EXPECT_EQ(again.List1->texts(), QStringList({"pop", "unsaved pop"}));
  EXPECT_TRUE(platform.messages.empty());
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
  EXPECT_FALSE(QFile::exists(file("List1.dat")));
  EXPECT_EQ(platform_.deleted, QStringList{file("List1.dat")});
  EXPECT_EQ(genreNames(songList().Combo1), QStringList{kAllGenres});
}

}  // namespace
