#include "ui/form1.h"

#include <QCloseEvent>
#include <QLayout>

#include "core/app.h"
#include "core/options.h"
#include "core/settings.h"
#include "core/startup.h"
#include "playback/load.h"
#include "playback/navigation.h"
#include "playback/playmodes.h"
#include "playback/polling.h"
#include "playback/timedisplay.h"
#include "playback/transport.h"
#include "songlist/indexdisplay.h"
#include "songlist/listexport.h"
#include "songlist/search.h"
#include "songlist/songlistwindow.h"
#include "tools/about.h"
#include "tools/conversion.h"
#include "tools/equalizer.h"
#include "tools/properties.h"
#include "tools/tageditor.h"
#include "ui/clock.h"
#include "ui/procedure.h"
#include "ui/shellcommands.h"
#include "ui/titleline.h"
#include "ui/tray.h"
#include "ui/waveform.h"

// The layout is fixed: the window can be minimized, but neither resized nor maximized.
Form1::Form1(App& app)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      app_(app) {
  setupUi(this);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  Timer1 = makeTimer("Timer1", 100, true);
  Timer2 = makeTimer("Timer2", 10, true);
  Timer3 = makeTimer("Timer3", 10, false);
  Timer4 = makeTimer("Timer4", 30, false);
  Timer5 = makeTimer("Timer5", 700, false);
  Timer6 = makeTimer("Timer6", 30, false);
  Timer7 = makeTimer("Timer7", 100, false);
  connectProcedures();
}

QTimer* Form1::makeTimer(const char* name, int intervalMs, bool enabled) {
  auto* timer = new QTimer(this);
  timer->setObjectName(name);
  timer->setInterval(intervalMs);
  if (enabled) timer->start();
  return timer;
}

void Form1::closeEvent(QCloseEvent* event) {
  if (onClose) onClose();
  event->accept();
}

void Form1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  restPaintTimersWhileUnseen();
  Form1_Form_Resize(app_);
}

void Form1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form1_Form_Resize(app_);
}

void Form1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  restPaintTimersWhileUnseen();
  Form1_Form_Resize(app_);
}

void Form1::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  restPaintTimersWhileUnseen();
}

// Unseen (hidden to the tray or minimized), the wave and title ticks return at once, so
// they tick once a second instead of 43 times. They stay active: the rest of the program
// reads an active title tick as a track playing.
void Form1::restPaintTimersWhileUnseen() {
  constexpr int kRestingIntervalMs = 1000;
  const bool unseen = !isVisible() || isMinimized();
  if (unseen && !seenPaintIntervals_) {
    seenPaintIntervals_ = {Timer2->interval(), Timer4->interval()};
    Timer2->setInterval(kRestingIntervalMs);
    Timer4->setInterval(kRestingIntervalMs);
  } else if (!unseen && seenPaintIntervals_) {
    Timer2->setInterval(seenPaintIntervals_->first);
    Timer4->setInterval(seenPaintIntervals_->second);
    seenPaintIntervals_.reset();
  }
}

// ---- Event procedures of the main window -------------------------------------------------
void Form1::connectProcedures() {
  // Start-up, shutdown and settings (closing the window runs onClose)
  connect(Timer3, &QTimer::timeout, this, runs(app_, Form1_Timer3_Timer));
  connectMenuItem(app_, mEnd, Form1_mEnd_Click);
  connectMenuItem(app_, mWtireForm, Form1_mWtireForm_Click);

  // Menu items that mirror Properties check boxes
  connectMenuItem(app_, mNotRandomEroor, Form1_mNotRandomEroor_Click);
  connectMenuItem(app_, KPlay, Form1_KPlay_Click);
  connectMenuItem(app_, mAuotPlay, Form1_mAuotPlay_Click);
  connectMenuItem(app_, mFastPlay, Form1_mFastPlay_Click);
  connectMenuItem(app_, mSmallTask, Form1_mSmallTask_Click);

  // The Properties and About dialogs
  connectMenuItem(app_, mPropaty, Form1_mPropaty_Click);
  connectMenuItem(app_, mAbout, Form1_mAbout_Click);

  // Opening and closing a track
  connectMenuItem(app_, mOpen, Form1_mOpen_Click);
  connectMenuItem(app_, mClose, Form1_mClose_Click);

  // Converting the track
  connectMenuItem(app_, mFileEncode, Form1_mFileEncode_Click);
  connectMenuItem(app_, mFileDecode, Form1_mFileDecode_Click);
  connect(Timer7, &QTimer::timeout, this, runs(app_, Form1_Timer7_Timer));

  // Transport
  connect(Command1, &QPushButton::clicked, this, runs(app_, Form1_Command1_Click));
  connect(Command2, &QPushButton::clicked, this, runs(app_, Form1_Command2_Click));
  connect(Command3, &QPushButton::clicked, this, runs(app_, Form1_Command3_Click));
  connect(Command5, &QPushButton::clicked, this, runs(app_, Form1_Command5_Click));
  connect(Command6, &QPushButton::clicked, this, runs(app_, Form1_Command6_Click));
  connect(Command10, &QPushButton::clicked, this, runs(app_, Form1_Command10_Click));
  connect(Command11, &QPushButton::clicked, this, runs(app_, Form1_Command11_Click));
  connect(Command12, &QPushButton::clicked, this, runs(app_, Form1_Command12_Click));
  connect(HScroll1, &QScrollBar::valueChanged, this, runs(app_, Form1_HScroll1_Change));
  connect(HScroll2, &QScrollBar::valueChanged, this, runs(app_, Form1_HScroll2_Change));
  connect(HScroll3, &QScrollBar::valueChanged, this, runs(app_, Form1_HScroll3_Change));

  // Song List navigation and the play modes
  connect(Command4, &QPushButton::clicked, this, runs(app_, Form1_Command4_Click));
  connect(Command7, &QPushButton::clicked, this, runs(app_, Form1_Command7_Click));
  connect(Command8, &QPushButton::clicked, this, runs(app_, Form1_Command8_Click));
  connectMenuItem(app_, mRepeat, Form1_mRepeat_Click);
  connectMenuItem(app_, mListTrack, Form1_mListTrack_Click);
  connectMenuItem(app_, mRandam, Form1_mRandam_Click);
  connectMenuItem(app_, mUptoDown, Form1_mUptoDown_Click);
  connectMenuItem(app_, mDowntoUp, Form1_mDowntoUp_Click);
  connectMenuItem(app_, mFadeIn, Form1_mFadeIn_Click);
  connectMenuItem(app_, mFadeOut, Form1_mFadeOut_Click);

  // Polling and the end of a track
  connect(Timer1, &QTimer::timeout, this, runs(app_, Form1_Timer1_Timer));
  connect(Timer5, &QTimer::timeout, this, runs(app_, Form1_Timer5_Timer));
  connect(Label1, &ChangeLabel::changed, this, runs(app_, Form1_Label1_Change));
  connect(Text2, &ChangeLabel::changed, this, runs(app_, Form1_Text2_Change));
  connect(Label16, &ChangeLabel::changed, this, runs(app_, Form1_Label16_Change));

  // Time display
  connect(Text3, &ChangeLabel::changed, this, runs(app_, Form1_Text3_Change));
  connect(Label1, &ChangeLabel::clicked, this, runs(app_, Form1_Label1_Click));
  connect(Label4, &ChangeLabel::clicked, this, runs(app_, Form1_Label4_Click));
  connect(Label3, &ChangeLabel::clicked, this, runs(app_, Form1_Label3_Click));
  connect(Label22, &ChangeLabel::clicked, this, runs(app_, Form1_Label22_Click));
  connectMenuItem(app_, mTimeNormal, Form1_mTimeNormal_Click);
  connectMenuItem(app_, mTimeUnNormal, Form1_mTimeUnNormal_Click);
  connectMenuItem(app_, mNormalMinSecTime, Form1_mNormalMinSecTime_Click);
  connectMenuItem(app_, mNornalSecTime, Form1_mNornalSecTime_Click);

  // Minimized display and the tray (the window's size and state changes run Form1_Form_Resize)
  connectMenuItem(app_, mSmallTime, Form1_mSmallTime_Click);

  // Song List
  connectMenuItem(app_, mSongList, Form1_mSongList_Click);
  connectMenuItem(app_, mSongListTextSave, Form1_mSongListTextSave_Click);
  connectMenuItem(app_, mListAdd, Form1_mListAdd_Click);
  connectMenuItem(app_, mListSearchFormat, Form1_mListSearchFormat_Click);
  connectMenuItem(app_, mListIndexDec, Form1_mListIndexDec_Click);
  connectMenuItem(app_, mListIndexHex, Form1_mListIndexHex_Click);

  // Waveform, title line, seeking by hand and the clock's timing
  Picture3->setGeometry(Picture4->contentsRect());  // the wave area fills its frame's inside
  connect(Timer2, &QTimer::timeout, this, runs(app_, Form1_Timer2_Timer));
  connectMenuItem(app_, mBlack, Form1_mBlack_Click);
  connectMenuItem(app_, mRed, Form1_mRed_Click);
  connectMenuItem(app_, mBlue, Form1_mBlue_Click);
  connectMenuItem(app_, mGreen, Form1_mGreen_Click);
  Label13->setFont(titleFace());
  // The title line moves inside the box's frame and fills its own background: a move then
  // only shifts the pixels already drawn instead of painting the title again. The clip
  // fills the strip the line leaves with the box's colour, so the box and its frame are
  // not painted again under it at every step.
  TitleClip->setGeometry(Picture6->contentsRect());
  QPalette clipColours = TitleClip->palette();
  clipColours.setColor(QPalette::Window, Picture6->backColor());
  TitleClip->setPalette(clipColours);
  TitleClip->setAutoFillBackground(true);
  Label13->setBackColor(Picture6->backColor());
  Label13->setPaintedFromPicture(true);
  connect(Timer4, &QTimer::timeout, this, runs(app_, Form1_Timer4_Timer));
  connectMenuItem(app_, mRightToLeft, Form1_mRightToLeft_Click);
  connectMenuItem(app_, mLeftToRight, Form1_mLeftToRight_Click);
  connectMenuItem(app_, mLRmove, Form1_mLRmove_Click);
  connectMenuItem(app_, mVisible, Form1_mVisible_Click);
  connectMenuItem(app_, mTagTitle, Form1_mTagTitle_Click);
  connectMenuItem(app_, mNewForm, Form1_mNewForm_Click);
  // The bar changes its value only when the thumb is let go, and each move of the user's
  // is marked before the value changes. Qt's scroll bars take the left arrow key forward;
  // on a seek bar the right one goes forward.
  HScroll1->setTracking(false);
  HScroll1->setInvertedControls(false);
  connect(HScroll1, &QScrollBar::actionTriggered, this, runs(app_, Form1_HScroll1_Action));
  connect(Picture5, &PictureBox::mouseDown, this, [this](double x) { Form1_Picture5_MouseDown(app_, x); });
  // The clock comes back at the turn of each second (Form1_Timer3_Timer sets the time).
  Timer3->setTimerType(Qt::PreciseTimer);

  // Equalizer
  connectMenuItem(app_, mGraphicEcoryzer, Form1_mGraphicEcoryzer_Click);
  connectMenuItem(app_, mFileEcorizarFormat, Form1_mFileEcorizarFormat_Click);

  // Tag editor
  connectMenuItem(app_, mTagEdit, Form1_mTagEdit_Click);
  connectMenuItem(app_, mPTag, Form1_mPTag_Click);

  // Handing work to the desktop: help, program folder, mixer, home page, CD tray
  connectMenuItem(app_, mHelp, Form1_mHelp_Click);
  connectMenuItem(app_, mFolder, Form1_mFolder_Click);
  connectMenuItem(app_, mVolume, Form1_mVolume_Click);
  connectMenuItem(app_, mMaketoAppHP, Form1_mMaketoAppHP_Click);
  connect(Command9, &QPushButton::clicked, this, runs(app_, Form1_Command9_Click));
  connectMenuItem(app_, mCDTry, Form1_mCDTry_Click);
}
