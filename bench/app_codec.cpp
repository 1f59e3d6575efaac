// Drives one encode or decode through the program's File menu procedures with the real
// library, as a user would (the save dialog answered with <out>, no play while decoding),
// lets the main window's timers run until the conversion's end is shown, and prints the wall
// and CPU microseconds from the menu click to that end, as bench_codec prints for the bare
// library, so that bench/codec.sh can compare the two.
//   app_codec encode <in.wav> <out.mp3>
//   app_codec decode <in.mp3> <out.wav>
#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_platform.h"
#include "playback/load.h"
#include "tools/conversion.h"
#include "ui/form1.h"
#include "ui/form3.h"

namespace {

using Clock = std::chrono::steady_clock;

int run(App& app, ScriptedPlatform& platform, bool encode, const QString& in, const QString& out) {
  Form1& main = app.form1();
  app.form3().Check6->setChecked(false);  // opened, not played
  platform.dialogAnswers = {in};
  Form1_mOpen_Click(app);
  if (!platform.messages.empty() || main.Label3->text() == "00:00") {
    std::fprintf(stderr, "cannot open %s\n", qPrintable(in));
    return 1;
  }
  platform.dialogAnswers = {out};
  // Yes to replacing an earlier run's output, No to playing the decode.
  if (QFileInfo::exists(out)) platform.messageAnswers.push_back(MessageResult::Yes);
  platform.messageAnswers.push_back(MessageResult::No);

  QEventLoop loop;
  QObject::connect(main.Timer7, &QTimer::timeout, &loop, [&] {
    if (!main.Timer7->isActive()) loop.quit();
  });
  const auto wall = Clock::now();
  const std::clock_t cpu = std::clock();
  (encode ? Form1_mFileEncode_Click : Form1_mFileDecode_Click)(app);
  if (main.Timer7->isActive()) loop.exec();
  const auto wallUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - wall).count();
  const double cpuUs = 1e6 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
  if (!main.windowTitle().contains("完了")) {
    std::fprintf(stderr, "the conversion did not end well: %s\n", qPrintable(main.windowTitle()));
    return 1;
  }
  std::printf("%lld %.0f\n", static_cast<long long>(wallUs), cpuUs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const bool encode = argc == 4 && std::strcmp(argv[1], "encode") == 0;
  if (argc != 4 || (!encode && std::strcmp(argv[1], "decode") != 0)) {
    std::fprintf(stderr, "usage: %s encode <in.wav> <out.mp3> | decode <in.mp3> <out.wav>\n", argv[0]);
    return 2;
  }
  LibraryVbmp3 vbmp3(QCoreApplication::applicationDirPath() + "/libvbmp3.so");
  if (vbmp3.init() == 0) {
    std::fprintf(stderr, "libvbmp3.so not found beside the driver\n");
    return 1;
  }
  QTemporaryDir folder;  // the program folder: the driver writes no data files there
  ScriptedPlatform platform;
  App app(vbmp3, platform, folder.path());
  const int result =
      run(app, platform, encode, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  vbmp3.free();
  return result;
}
