// The six windows as designed: controls, captions, designed states, the main menu, timers,
// and how the windows come and go.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "fakes/program_test.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/form5.h"
#include "ui/form6.h"
#include "ui/procedure.h"

namespace {

using Forms = ProgramTest;

QString captionOf(const QWidget* w) {
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
  return {};
}

enum State { Shown, Hidden, Disabled, Checked, CheckedHidden };

struct Control {
  const char* name;
  const char* type;
  QString caption;
  State state = Shown;
  QString toolTip = {};
};

void expectControls(QWidget* window, const std::vector<Control>& table) {
  for (const Control& c : table) {
    SCOPED_TRACE(c.name);
    auto* w = window->findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(c.type)) << w->metaObject()->className();
    EXPECT_EQ(captionOf(w), c.caption);
    EXPECT_EQ(w->isHidden(), c.state == Hidden || c.state == CheckedHidden);
    EXPECT_EQ(w->isEnabled(), c.state != Disabled);
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable())
      EXPECT_EQ(b->isChecked(), c.state == Checked || c.state == CheckedHidden);
    if (!c.toolTip.isEmpty()) EXPECT_EQ(w->toolTip(), c.toolTip);
  }
}

TEST_F(Forms, MainWindowControls) {
  Form1& f = app.form1();
  expectControls(&f, {
                         {"Command1", "QPushButton", "", Disabled},
                         {"Command2", "QPushButton", "", Disabled},
                         {"Command3", "QPushButton", "", Disabled, "一時停止"},
                         {"Command4", "QPushButton", "", Shown, "前のリストへ"},
                         {"Command5", "QPushButton", "", Shown, "ピッチを下げる"},
                         {"Command6", "QPushButton", "", Shown, "ピッチを上げる"},
                         {"Command7", "QPushButton", "", Shown, "次のトラックへ"},
                         {"Command8", "QPushButton", "", Shown, "ランダム再生"},
                         {"Command9", "QPushButton", "", Shown, "トレイの取り出し"},
                         {"Command10", "QPushButton", "", Shown, "リスト表"},
                         {"Command11", "QPushButton", "∧"},
                         {"Command12", "QPushButton", "∨"},
                         {"Label1", "ChangeLabel", "00:00"},
                         {"Label3", "ChangeLabel", "00:00"},
                         {"Label4", "ChangeLabel", "00:00", Hidden},
                         {"Label22", "ChangeLabel", "00", Hidden},
                         {"Label5", "ChangeLabel", "2000/01/01"},
                         {"Label6", "ChangeLabel", "00:00:00"},
                         {"Label7", "ChangeLabel", "Type："},
                         {"Label8", "ChangeLabel", "Nothing"},
                         {"Label9", "ChangeLabel", "---k/s"},
                         {"Label10", "ChangeLabel", "00.0kHz"},
                         {"Label11", "ChangeLabel", "-/0"},
                         {"Label12", "ChangeLabel", "Artist"},
                         {"Label13", "ChangeLabel", "Kestrune"},
                         {"Label14", "ChangeLabel", "0", Hidden},
                         {"Label15", "ChangeLabel", "0", Hidden},
                         {"Label16", "ChangeLabel", "0", Hidden},
                         {"Label17", "ChangeLabel", "0", Hidden},
                         {"Label18", "ChangeLabel", "0", Hidden},
                         {"Label19", "ChangeLabel", "", Hidden},
                         {"Label20", "ChangeLabel", "", Hidden},
                         {"Label23", "ChangeLabel", "0", Hidden},
                         {"Label24", "ChangeLabel", "0", Hidden},
                         {"Text1", "ChangeLabel", "", Hidden},
                         {"Text2", "ChangeLabel", "100", Hidden},
                         {"Text3", "ChangeLabel", "", Hidden},
                         {"Text4", "ChangeLabel", "100"},
                         {"Image3", "QLabel", ""},
                         {"Image4", "QLabel", "", Hidden},
                         {"Image5", "QLabel", "", Hidden},
                         {"Image6", "QLabel", "", Hidden},
                         {"Image7", "QLabel", "", Hidden},
                     });
  for (int i = 1; i <= 24; ++i) EXPECT_NE(f.findChild<ChangeLabel*>(QString("Label%1").arg(i)), nullptr) << i;
  for (int i = 1; i <= 6; ++i) EXPECT_NE(f.findChild<PictureBox*>(QString("Picture%1").arg(i)), nullptr) << i;
  for (int i = 1; i <= 7; ++i) EXPECT_NE(f.findChild<QLabel*>(QString("Image%1").arg(i)), nullptr) << i;
  for (int i = 1; i <= 4; ++i) EXPECT_NE(f.findChild<QFrame*>(QString("Line%1").arg(i)), nullptr) << i;
}

TEST_F(Forms, MainWindowBarsPicturesAndPlaces) {
  Form1& f = app.form1();
  struct Bar {
    QScrollBar* bar;
    int minimum, maximum, large, value;
  };
  for (auto [bar, minimum, maximum, large, value] :
       {Bar{f.HScroll1, 0, 0, 1, 0}, Bar{f.HScroll2, 60, 200, 15, 100}, Bar{f.HScroll3, 0, 100, 20, 100}}) {
    SCOPED_TRACE(bar->objectName().toStdString());
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->minimum(), minimum);
    EXPECT_EQ(bar->maximum(), maximum);
    EXPECT_EQ(bar->singleStep(), 1);
    EXPECT_EQ(bar->pageStep(), large);
    EXPECT_EQ(bar->value(), value);
  }
  EXPECT_EQ(f.centralWidget()->minimumWidth(), 393);
  EXPECT_EQ(f.centralWidget()->maximumWidth(), 393);
  EXPECT_EQ(f.Picture4->geometry(), QRect(224, 8, 121, 49));
  EXPECT_EQ(f.Picture3->parentWidget(), f.Picture4);
  EXPECT_EQ(f.Picture3->geometry(), QRect(0, 0, 117, 45));
  EXPECT_EQ(f.Picture3->foreColor(), QColor(0, 0, 255));
  EXPECT_EQ(f.Picture6->geometry(), QRect(8, 112, 337, 65));
  EXPECT_EQ(f.Label13->parentWidget(), f.Picture6);
  EXPECT_EQ(f.Label13->x(), 8);
  EXPECT_EQ(f.Picture5->parentWidget(), f.Picture2);
  EXPECT_EQ(f.Command9->geometry(), QRect(280, 64, 33, 33));
  EXPECT_EQ(f.windowTitle(), "Kestrune");
  EXPECT_FALSE(f.windowIcon().isNull());
  EXPECT_FALSE(f.Command1->icon().isNull());  // the pictures are compiled in
}

TEST_F(Forms, MainWindowTimers) {
  Form1& f = app.form1();
  struct Timer {
    QTimer* timer;
    int interval;
    bool enabled;
  };
  for (auto [timer, interval, enabled] :
       {Timer{f.Timer1, 100, true}, Timer{f.Timer2, 10, true}, Timer{f.Timer3, 10, false},
        Timer{f.Timer4, 30, false}, Timer{f.Timer5, 700, false}, Timer{f.Timer6, 30, false}}) {
    EXPECT_EQ(timer->interval(), interval) << timer->objectName().toStdString();
    EXPECT_EQ(timer->isActive(), enabled) << timer->objectName().toStdString();
  }
}

// The main menu in display order: a name per item, "-" before a separator's name.
struct Item {
  const char* name;
  QString caption;  // empty for a separator
  const char* shortcut = "";
  bool checkable = false, checked = false, enabled = true;
};

const std::vector<std::pair<const char*, std::vector<Item>>> kMenus = {
    {"mFile",
     {{"mOpen", "サウンドファイルを開く(&O)...", "Ctrl+O"},
      {"mClose", "サウンドファイルを閉じる(&C)"},
      {"mCenterBar01", ""},
      {"mSongList", "Song Listから開く(&S)...", "Ctrl+S"},
      {"mSongListTextSave", "Listの曲名を保存する(&N)...", "Ctrl+N"},
      {"mCenterBar02", ""},
      {"mFileEncode", "ファイルのエンコード(&E)...", "Ctrl+E"},
      {"mFileDecode", "ファイルのデコード(&D)...", "Ctrl+D"},
      {"mCenterBar03", ""},
      {"mEnd", "アプリケーションの終了(&X)", "Ctrl+X"}}},
    {"mEdit",
     {{"mPropaty", "プロパティを開く(&P)...", "Ctrl+P"},
      {"CenterBar04", ""},
      {"mTagEdit", "タグの編集(&T)...", "Ctrl+T"},
      {"CenterBar05", ""},
      {"mGraphicEcoryzer", "グラフィックエコライザーの編集(&G)...", "Ctrl+G"},
      {"CenterBar06", ""},
      {"mListAdd", "開いたファイルをSong Listに登録する(&A)", "", false, false, false},
      {"mFileEcorizarFormat", "グラフィックエコライザ－を初期化する(&F)"},
      {"mListSearchFormat", "Song Listの検索リストを初期化する(&F)"},
      {"CenterBar07", ""},
      {"mWtireForm", "現在の状態を保存する(&W)"}}},
    {"mView",
     {{"mSmallTime", "最小化時演奏時間表示", "Ctrl+F1", true, true},
      {"mVisible", "タイトルの非表示", "Ctrl+F2", true},
      {"mPTag", "再生時タグのダイアログを表示する", "Ctrl+F3", true},
      {"mTagTitle", "曲名はタグのタイトルで表示する", "Ctrl+F4", true},
      {"mSmallTask", "最小化時タスクトレイに入れる", "Ctrl+F5", true},
      {"CenterBar08", ""},
      {"mPlayTime", "演奏時間の表示(&T)"},
      {"mAllPlayTime", "全体時間の表示(&A)"},
      {"mSongView", "リストインデックスの表示(&S)"},
      {"mTitlepaturn", "タイトルの移動パターン(&P)"},
      {"mColorChange", "波形色の変更(&C)"},
      {"CenterBar09", ""},
      {"mFolder", "同フォルダを開く(&F)...", "Ctrl+F"},
      {"mVolume", "ボリュームコントロール(&V)...", "Ctrl+V"},
      {"CenterBar10", ""},
      {"mNewForm", "最新の情報に更新(&U)", "Ctrl+U"}}},
    {"mPlayTime",
     {{"mTimeNormal", "経過時間の表示(&N)", "", true, true},
      {"mTimeUnNormal", "残り時間の表示(&U)", "", true}}},
    {"mAllPlayTime",
     {{"mNormalMinSecTime", "毎分毎秒表示(&M)", "", true, true},
      {"mNornalSecTime", "秒数表示(&S)", "", true}}},
    {"mSongView",
     {{"mListIndexDec", "リストを10進数表示(&D)", "", true, true},
      {"mListIndexHex", "リストを16進数表示(&H)", "", true}}},
    {"mTitlepaturn",
     {{"mRightToLeft", "右から左へ移動する(&R)", "", true, true},
      {"mLeftToRight", "左から右へ移動する(&L)", "", true},
      {"mLRmove", "左右交互に移動する(&M)", "", true}}},
    {"mColorChange",
     {{"mBlack", "黒", "", true},
      {"mRed", "赤", "", true},
      {"mBlue", "青", "", true, true},
      {"mGreen", "緑", "", true}}},
    {"mSetting",
     {{"KPlay", "キャッシュ再生を可能にする(&K)", "Ctrl+K", true},
      {"mAuotPlay", "起動時に自動再生する(&A)", "Ctrl+A", true},
      {"mNotRandomEroor", "ランダム時不明ファイルを無視する(&Q)", "Ctrl+Q", true, true},
      {"mFastPlay", "開いたファイルを直ちに再生(&Y)", "Ctrl+Y", true},
      {"CenterBar11", ""},
      {"mHPlay", "再生設定(&H)"},
      {"mfadeplay", "フェード再生(&F)"},
      {"mListTrackP", "リストトラック再生(&L)"},
      {"CenterBar12", ""},
      {"mCDTry", "CDトレイの使用不可(&C)", "Ctrl+C", true}}},
    {"mHPlay",
     {{"mRepeat", "リピート再生", "", true, true},
      {"mListTrack", "Song List再生", "", true},
      {"mRandam", "ランダム再生", "", true}}},
    {"mfadeplay", {{"mFadeIn", "フェードイン(&S)", "", true}, {"mFadeOut", "フェードアウト(&E)", "", true}}},
    {"mListTrackP",
     {{"mUptoDown", "上から下へ再生", "", true, true}, {"mDowntoUp", "下から上へ再生", "", true}}},
    {"mHelp1",
     {{"mHelp", "ヘルプ(&H)", "Ctrl+H"},
      {"CenterBar13", ""},
      {"mMaketoAppHP", "作成者ホームページへ(&H)", "Ctrl+F12"},
      {"mAbout", "バージョン情報(&A)..."}}},
};

TEST_F(Forms, MainMenuAsDesigned) {
  Form1& f = app.form1();
  QStringList bar;
  for (QAction* a : f.menuBar()->actions()) bar << a->menu()->objectName();
  EXPECT_EQ(bar, QStringList({"mFile", "mEdit", "mView", "mSetting", "mHelp1"}));
  const std::map<QString, QString> titles = {{"mFile", "ファイル(&F)"},
                                             {"mEdit", "編集(&E)"},
                                             {"mView", "表示(&V)"},
                                             {"mSetting", "設定(&S)"},
                                             {"mHelp1", "ヘルプ(&H)"}};
  for (const auto& [menu, title] : titles) EXPECT_EQ(f.findChild<QMenu*>(menu)->title(), title);

  for (const auto& [menuName, items] : kMenus) {
    auto* menu = f.findChild<QMenu*>(menuName);
    ASSERT_NE(menu, nullptr) << menuName;
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), qsizetype(items.size())) << menuName;
    for (size_t i = 0; i < items.size(); ++i) {
      const Item& want = items[i];
      QAction* a = actions[i];
      SCOPED_TRACE(want.name);
      // a submenu's entry is its menu's own action
      EXPECT_EQ(a->menu() ? a->menu()->objectName() : a->objectName(), want.name);
      EXPECT_EQ(a->isSeparator(), want.caption.isEmpty());
      if (a->isSeparator()) continue;
      EXPECT_EQ(a->text(), want.caption);
      EXPECT_EQ(a->shortcut(), QKeySequence(want.shortcut));
      EXPECT_EQ(a->isCheckable(), want.checkable);
      EXPECT_EQ(a->isChecked(), want.checked);
      EXPECT_EQ(a->isEnabled(), want.enabled);
      EXPECT_EQ(a->actionGroup(), nullptr);  // marks are set by the procedures alone
    }
  }
}

TEST_F(Forms, MenuClickProcedureSeesTheMarkAsItWas) {
  Form1& f = app.form1();
  QList<bool> seen;
  connectMenuItem(app, f.mRepeat, [&](App& app) {
    seen << app.form1().mRepeat->isChecked();
    app.form1().mRandam->setChecked(true);
  });
  connectMenuItem(app, f.mOpen, [&](App&) { seen << false; });

  f.mRepeat->trigger();
  EXPECT_EQ(seen, QList<bool>({true}));
  EXPECT_TRUE(f.mRepeat->isChecked());  // Qt did not flip it; the procedure left it
  EXPECT_TRUE(f.mRandam->isChecked());
  f.mOpen->trigger();
  EXPECT_EQ(seen.size(), 2);
}

TEST_F(Forms, SongListControls) {
  Form2& f = app.form2();
  EXPECT_EQ(f.windowTitle(), "Song List");
  expectControls(
      &f, {
              {"Combo1", "QComboBox", "全てのジャンル"},
              {"List1", "ListBox", ""},
              {"List2", "ListBox", "", Hidden},
              {"Command1", "QPushButton", "追加...", Shown, "リストに曲を追加します"},
              {"Command8", "QPushButton", "Fol追加...", Shown, "フォルダを選択して一括でリストに追加します"},
              {"Command2", "QPushButton", "削除", Shown, "リストから曲を1曲だけ削除します"},
              {"Command3", "QPushButton", "クリアー", Shown, "リストを初期化します"},
              {"Command4", "QPushButton", "再生", Disabled, "選択された曲を再生します"},
              {"Command5", "QPushButton", "↑", Shown, "上と下の曲を交換します"},
              {"Command6", "QPushButton", "↓", Shown, "下と上の曲を交換します"},
              {"Command7", "QPushButton", "メイン", Shown, "メイン画面に戻ります"},
              {"Command9", "QPushButton", "検索", Shown, "リストの中の曲を検索します"},
              {"Label1", "ChangeLabel", "0/0"},
              {"Label9", "ChangeLabel", "Music File Path"},
              {"Label2", "ChangeLabel", "0", Hidden},
              {"Label7", "ChangeLabel", "0", Hidden},
              {"Text1", "ChangeLabel", "", Hidden},
              {"Text2", "ChangeLabel", "", Hidden},
              {"Combo2", "QComboBox", ""},
              {"Option1", "QRadioButton", "部分一致タイトル検索", Checked},
              {"Option2", "QRadioButton", "完全一致タイトル検索"},
          });
  EXPECT_EQ(f.Combo1->count(), 1);
  EXPECT_FALSE(f.Combo1->isEditable());
  EXPECT_TRUE(f.Combo2->isEditable());
  EXPECT_EQ(f.Combo2->count(), 0);
  EXPECT_EQ(f.List1->geometry(), QRect(8, 32, 209, 220));
}

TEST_F(Forms, PropertiesControls) {
  Form3& f = app.form3();
  EXPECT_EQ(f.windowTitle(), "プロパティ");
  expectControls(&f, {
                         {"Frame1", "QGroupBox", "オプション(&O)"},
                         {"Check1", "QCheckBox", "ランダム再生時存在しないファイルを無視", Checked},
                         {"Check2", "QCheckBox", "再生終了処理を終了時間の1秒前で行う"},
                         {"Check3", "QCheckBox", "キャッシュ再生を可能にする"},
                         {"Check4", "QCheckBox", "起動時に指定曲を自動再生する"},
                         {"Check5", "QCheckBox", "指定ディレクトリを初期ディレクトリにする", Checked},
                         {"Check6", "QCheckBox", "開いたファイルをそのまま再生させる", Checked},
                         {"Check7", "QCheckBox", "アプリケーション終了時に設定を保存する", Checked},
                         {"Check8", "QCheckBox", "リスト曲名保存時Index番号をつける", Checked},
                         {"Check9", "QCheckBox", "最小化時にタスクトレイに入れる"},
                         {"Check10", "QCheckBox", "ファイルを閉じるときに確認画面を表示", Checked},
                         {"Check11", "QCheckBox", "曲登録時複数の曲を登録できるようにする", Disabled},
                         {"Frame2", "QGroupBox", "初回表示ディレクトリの選択"},
                         {"Text1", "QLineEdit", ""},
                         {"Command1", "QPushButton", "...", Shown, "ディレクトリを選択します"},
                         {"Command7", "QPushButton", "..", Shown, "選択されたディレクトリを削除します"},
                         {"Frame3", "QGroupBox", "自動再生曲のの指定"},
                         {"Text2", "QLineEdit", ""},
                         {"Command2", "QPushButton", "...", Shown, "自動再生曲を選択します"},
                         {"Command8", "QPushButton", "..", Shown, "自動再生曲を削除します"},
                         {"Frame6", "QGroupBox", "ジャンルの作成設定"},
                         {"Text3", "QLineEdit", ""},
                         {"Command5", "QPushButton", "追加", Disabled},
                         {"Combo3", "QComboBox", "全てのジャンル"},
                         {"Command6", "QPushButton", "削除", Disabled},
                         {"Command3", "QPushButton", "OK"},
                         {"Command4", "QPushButton", "Calsel"},
                     });
  EXPECT_FALSE(f.Combo3->isEditable());
}

TEST_F(Forms, EqualizerControls) {
  Form4& f = app.form4();
  EXPECT_EQ(f.windowTitle(), "グラフィックエコライザー");
  expectControls(&f, {
                         {"Text1", "QLineEdit", ""},
                         {"Command1", "QPushButton", "追加", Disabled},
                         {"Command2", "QPushButton", "削除", Disabled},
                         {"Combo1", "QComboBox", "Normal"},
                         {"Command3", "QPushButton", "実行"},
                         {"Command4", "QPushButton", "閉じる"},
                     });
  for (int i = 0; i < 10; ++i) {
    QScrollBar* band = f.VScroll1[i];
    EXPECT_EQ(band->objectName(), QString("VScroll1_%1").arg(i));
    EXPECT_EQ(band->orientation(), Qt::Vertical);
    EXPECT_EQ(band->minimum(), -128);
    EXPECT_EQ(band->maximum(), 128);
    EXPECT_EQ(band->singleStep(), 1);
    EXPECT_EQ(band->pageStep(), 1);
    EXPECT_EQ(band->value(), 0);
    if (i > 0) EXPECT_GT(band->x(), f.VScroll1[i - 1]->x());  // band 0 at the left
    EXPECT_LE(band->geometry().right(), f.width());
  }
  // the preset table: "Normal" with ten zeros, in eleven parallel lists
  EXPECT_EQ(f.Combo1->count(), 1);
  for (int n = 1; n <= 10; ++n) {
    auto* list = f.findChild<HiddenList*>(QString("List%1").arg(n));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isHidden());
    EXPECT_EQ(list->texts(), QStringList{"0"});
  }
}

TEST_F(Forms, TagEditorControls) {
  Form5& f = app.form5();
  EXPECT_EQ(f.windowTitle(), "タグの編集");
  expectControls(
      &f, {
              {"Text1", "QLineEdit", ""},
              {"Text2", "QLineEdit", ""},
              {"Text3", "QLineEdit", ""},
              {"Text4", "QLineEdit", ""},
              {"Text5", "QLineEdit", ""},
              {"Text6", "QLineEdit", ""},
              {"Combo1", "QComboBox", ""},
              {"Check1", "QCheckBox", "トラック番号を使用する"},
              {"Command1", "QPushButton", "登録/更新", Shown, "タグを[登録/更新]します"},
              {"Command2", "QPushButton", "タグの削除", Shown, "現在登録されているタグを削除します"},
              {"Command3", "QPushButton", "キャンセル"},
              {"Command4", "QPushButton", "Title取得", Shown, "タグのタイトルをファイル名から取得します"},
          });
  QStringList captions;
  for (auto* label : f.findChildren<ChangeLabel*>()) captions << label->text();
  for (const char* caption :
       {"タイトル", "Artist", "アルバム名", "発売年", "ジャンル", "コメント", "トラック番号"})
    EXPECT_TRUE(captions.contains(caption)) << caption;
  EXPECT_EQ(f.Text1->geometry(), QRect(72, 8, 217, 19));
  EXPECT_EQ(f.Combo1->x(), 168);
}

TEST_F(Forms, AboutControls) {
  Form6& f = app.form6();
  EXPECT_EQ(f.windowTitle(), "バージョン情報");
  expectControls(&f, {
                         {"Label1", "ChangeLabel", "Kestrune - 1.3"},
                         {"Label3", "ChangeLabel", "使用ユーザー："},
                         {"Label4", "ChangeLabel", "Nothing"},
                         {"Label6", "ChangeLabel", "DLLVer"},
                         {"Command1", "QPushButton", "OK"},
                     });
  EXPECT_TRUE(f.Label5->text().startsWith("https://"));
  EXPECT_FALSE(f.Label2->text().isEmpty());
  EXPECT_FALSE(f.Picture1->pixmap().isNull());
}

TEST_F(Forms, JapaneseCaptionsHaveGlyphs) {
  const QFontMetrics metrics(app.form3().Check1->font());
  for (QChar c : QString("ランダム再生時存在しないファイルを無視"))
    EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
}

TEST_F(Forms, WindowsAreCreatedOnFirstTouchAndOwnedByTheMainWindow) {
  EXPECT_FALSE(app.form4Created());
  EXPECT_FALSE(app.form5Created());
  Form4& equalizer = app.form4();
  EXPECT_TRUE(app.form4Created());
  EXPECT_EQ(&app.form4(), &equalizer);
  EXPECT_EQ(equalizer.parentWidget(), &app.form1());
  const App elsewhere(decoder, platform, "/opt/kestrune/");
  EXPECT_EQ(elsewhere.file("Option.ini"), "/opt/kestrune/Option.ini");
}

TEST_F(Forms, SecondaryWindowsStartHiddenAndOnlyHideWhenClosed) {
  app.form1().show();
  const std::vector<SecondaryWindow*> windows = {&app.form2(), &app.form3(), &app.form4(), &app.form5(),
                                                 &app.form6()};
  for (SecondaryWindow* w : windows) {
    SCOPED_TRACE(w->objectName().toStdString());
    EXPECT_FALSE(w->isVisible());
    QSignalSpy closeBox(w, &SecondaryWindow::closeBoxPressed);
    QPointer<SecondaryWindow> alive(w);

    w->show();
    EXPECT_FALSE(w->close());      // the close is cancelled ...
    EXPECT_FALSE(w->isVisible());  // ... and the window hidden
    w->show();
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());

    EXPECT_EQ(closeBox.count(), 2);
    EXPECT_FALSE(alive.isNull());
  }
}

TEST_F(Forms, ClosingTheMainWindowRunsTheShutdownHook) {
  Form1& f = app.form1();
  int shutdowns = 0;
  f.onClose = [&] { ++shutdowns; };
  f.show();
  f.close();
  EXPECT_EQ(shutdowns, 1);
}

}  // namespace
