// Title search: prefix or whole title, ignoring case, from after the selected entry round
// to it again.
#include "songlist/search.h"

#include "songlist/songlistwindow.h"
#include "songlist_fixture.h"

namespace {

class Search : public SongListTest {
 protected:
  int search(const QString& text, bool wholeTitle = false) {
    songList().Combo2->setEditText(text);
    (wholeTitle ? songList().Option2 : songList().Option1)->setChecked(true);
    songList().Command9->click();
    return selectedEntry(app);
  }
};

TEST_F(Search, PrefixSearchGoesOnFromTheSelectedEntryAndWraps) {
  fill({"Alpha", "beta", "Alphabet"});
  EXPECT_EQ(search("alp"), 0);
  EXPECT_EQ(search("alp"), 2);
  EXPECT_EQ(search("ALP"), 0);
  EXPECT_EQ(songList().Label1->text(), "1/3");
  EXPECT_EQ(songList().Label9->text(), "/m/Alpha.mp3");
  EXPECT_EQ(songList().List2->selectedRow(), 0);
  EXPECT_TRUE(songList().Command4->isEnabled());

  EXPECT_EQ(search("BETA", true), 1);
  EXPECT_EQ(search("beta", true), 1);  // the only match, selected again
  EXPECT_EQ(search("alpha", true), 0);
  EXPECT_EQ(search("alpha", true), 0);

  // The text must stand at the start of the title.
  EXPECT_EQ(search("pha"), -1);
  EXPECT_EQ(songList().Label1->text(), "0/3");
  EXPECT_FALSE(songList().Command4->isEnabled());
  EXPECT_EQ(search("Alph", true), -1);

  fill({QString::fromUtf8("ｂｅｔａ 曲")});
  EXPECT_EQ(search(QString::fromUtf8("ＢＥＴＡ")), 3);  // full-width letters have case too
}

TEST_F(Search, FollowsEditsOfTheListAndTheMenuEmptiesTheBox) {
  fill({"one", "two", "three"});
  selectEntry(app, 1);
  Form2_Command2_Click(app);  // "two" deleted
  EXPECT_EQ(search("tw"), -1);
  appendEntry(app, "/m/twelve.mp3");
  EXPECT_EQ(search("tw"), 2);
  Form2_Command5_Click(app);  // moved up
  EXPECT_EQ(search("tw"), 1);

  // The main window's menu item empties the search box and nothing else.
  main().mListSearchFormat->trigger();
  EXPECT_EQ(songList().Combo2->currentText(), "");
  EXPECT_EQ(selectedEntry(app), 1);
}

}  // namespace
