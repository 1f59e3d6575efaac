#include "core/startup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <csignal>
#include <cstdio>

#include "core/app.h"
#include "core/commandline.h"
#include "core/instance.h"
#include "core/platform.h"
#include "core/settings.h"
#include "core/vbmp3binding.h"
#include "platform/qt/qtplatform.h"
#include "playback/load.h"
#include "playback/openwith.h"
#include "playback/playmodes.h"
#include "playback/polling.h"
#include "playback/transport.h"
#include "songlist/listfile.h"
#include "ui/clock.h"
#include "ui/controls.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/listbox.h"
#include "ui/mpris.h"
#include "ui/programstyle.h"
#include "ui/qttranslation.h"

namespace {

// Creates the data file when missing. False when the program has to end: the file exists
// (or its folder does) but cannot be opened for writing; the user has been told.
bool ensureDataFile(App& app, const QString& name) {
  if (ensureExists(app.file(name)) != EnsureStatus::NotWritable) return true;
  app.platform.messageBox(
      nullptr, "[" + name + "]ファイルを作成できません。\r\n読み取り専用になっている可能性があります。",
      kProgramTitle);
  app.platform.exitProcess(1);
  return false;
}

bool libraryReady(App& app) {
  app.vbmp3.init();
  if (app.vbmp3.init() != 0) return true;
  app.platform.messageBox(nullptr,
                          kLibraryFileName + "が見つかりません。\r\n" + kLibraryFileName + "を同フォルダ[" +
                              app.folder() + "]に置いてください。",
                          kProgramTitle);
  app.platform.exitProcess(1);
  return false;
}

// One column of a list file as rows of a list box; the rows keep the file's bytes.
class ListFileColumn : public RowTexts {
 public:
  ListFileColumn(std::shared_ptr<const ListFile> file, int column)
      : file_(std::move(file)), column_(column) {}
  int count() const override { return file_->count(); }
  QString text(int row) const override { return file_->text(row, column_); }

 private:
  std::shared_ptr<const ListFile> file_;
  int column_;
};

void loadSongList(App& app) {
  const std::shared_ptr<const ListFile> list = openListFile(app.file(listFileName(0)));
  Form2& songList = app.form2();
  songList.List1->setRows(std::make_shared<ListFileColumn>(list, 0));
  songList.List2->setRows(std::make_shared<ListFileColumn>(list, 1));
}

void loadGenres(App& app) {
  const FieldPairs genres = readListFile(app.file("Part.dat"));
  app.form3().Combo3->addItems(genres.first);
  app.form2().Combo1->addItems(genres.second);
}

}  // namespace

void Form1_Form_Load(App& app) {
  Form1& main = app.form1();
  Form2& songList = app.form2();
  Form3& options = app.form3();

  if (!libraryReady(app)) return;
  RefreshPlayState(app);
  app.vbmp3.useAtMarkTag(1);

  if (!ensureDataFile(app, listFileName(0))) return;
  loadSongList(app);
  songList.Text1->setText(songList.Combo1->currentText());
  Form1_Timer3_Timer(app);
  songList.Label2->setText(QString::number(songList.List2->count()));
  main.Timer2->setInterval(100);
  main.Timer3->start();

  // Cache playback: the last track comes back loaded and stopped. When it cannot be opened
  // the user has been told, and the window stays where the settings put it.
  const std::optional<CachedTrack> cached = RestoreSettings(app);
  if (!cached || ReloadCachedTrack(app, cached->title, cached->path)) BringBackMainWindow(app);
  mPlayMode(app);
  mListMode(app);

  if (main.mFadeIn->isChecked()) main.Image6->show();
  if (main.mFadeOut->isChecked()) main.Image7->show();
  if (main.Label13->text().isEmpty()) main.Label13->setText(kProgramTitle);
  if (checkValue(options.Check3) != 1) main.Label13->setText(kProgramTitle);
  if (main.mVisible->isChecked()) {
    main.mVisible->setChecked(true);
    main.Label13->setText(kProgramTitle);
    main.setWindowTitle(kProgramTitle);
  }
  if (main.Text3->text().isEmpty()) main.Label22->setText("0000");
  PlaceVolumeKnob(app);  // the volume came back with the settings

  if (!ensureDataFile(app, "Part.dat")) return;
  loadGenres(app);

  if (checkValue(options.Check6) == 1) main.mFastPlay->setChecked(true);
  if (checkValue(options.Check4) == 1) StartupAutoPlay(app);
  if (checkValue(options.Check3) == 1) {
    main.mListAdd->setEnabled(false);
    main.setWindowTitle(kProgramTitle);
  }
  main.onClose = [&app] { Form1_Form_Unload(app); };
}

void Form1_Form_Unload(App& app) {
  if (checkValue(app.form3().Check7) == 1) SaveSettings(app);
  app.vbmp3.stop();
  app.vbmp3.free();
  app.platform.exitProcess(0);
}

void Form1_mEnd_Click(App& app) { Form1_Form_Unload(app); }

int RunProgram(int argc, char** argv, const std::function<void(App&)>& afterShow) {
  const CommandLine line = ParseCommandLine(argc, argv);
  if (line.action != CommandLine::Action::Run) return AnswerCommandLine(line);
  // A later start only hands its files over: no window, no library, no settings.
  const QString instanceName = InstanceServerName();
  if (!instanceName.isEmpty() && HandOverToRunningProgram(instanceName, line.files)) return 0;
  if (instanceName.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    // Qt would abort the process; the user is told instead.
    std::fputs("kestrune: ウィンドウを表示できません（DISPLAY も WAYLAND_DISPLAY もありません）。\n", stderr);
    return 2;
  }

  // A file-size limit makes a write fail with EFBIG, which the writers report, instead of
  // ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  // The installed desktop entry's name: desktops match the window to its icon by it.
  QGuiApplication::setDesktopFileName(QStringLiteral("kestrune"));
  setProgramLook();
  loadQtJapanese();
  const QString folder = QCoreApplication::applicationDirPath();
  LibraryVbmp3 vbmp3(folder + '/' + kLibraryFileName);
  QtPlatform platform;
  App app(vbmp3, platform, folder);
  InstanceServer instance;
  if (!instanceName.isEmpty()) instance.listen(instanceName);
  Form1_Form_Load(app);
  app.form1().show();
  StartMediaPlayerService(app);
  // Once the window is up: this start's files first, then those of later starts.
  QTimer::singleShot(0, [&app, &line, &instance] {
    if (!line.files.isEmpty()) OpenGivenFiles(app, line.files);
    instance.setReceiver([&app](const QStringList& files) { ReceiveHandedOverFiles(app, files); });
  });
  if (afterShow) QTimer::singleShot(0, [&app, &afterShow] { afterShow(app); });
  return application.exec();
}
