// Song List timings through the real windows (offscreen), printed as medians:
// - "Fol追加..." of a folder of 10,000 empty .mp3 files;
// - a genre switch between two lists of 32,767 entries (writes one list, reads the other);
// - a title search over 32,767 titles that matches only the last one.
// Usage: app_songlist [runs]
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "core/app.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_platform.h"
#include "songlist/genres.h"
#include "songlist/listfile.h"
#include "songlist/search.h"
#include "songlist/songlistwindow.h"
#include "ui/form2.h"

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Timing {
  double wallMs, cpuMs;  // medians
};

// Runs `prepare` untimed and `work` timed, `runs` times. The time includes the window
// catching up (layout and painting of the visible list), as the user waits for it.
Timing measure(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> wall, cpu;
  for (int run = 0; run < runs; ++run) {
    prepare();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = threadCpuMs();
    work();
    QCoreApplication::processEvents();
    cpu.push_back(threadCpuMs() - cpuStart);
    wall.push_back(timer.nsecsElapsed() / 1e6);
  }
  return {median(wall), median(cpu)};
}

FieldPairs fullList(const QString& name) {
  FieldPairs list;
  for (int k = 0; k < kMaxListEntries; ++k) {
    const QString title = QString::fromUtf8("%1 曲名 %2 – ライブ").arg(name).arg(k);
    list.first.append(title);
    list.second.append(QString::fromUtf8("/home/user/音楽/アルバム/") + title + ".mp3");
  }
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;

  QTemporaryDir programFolder;
  QTemporaryDir music(QFileInfo("/dev/shm").isWritable() ? "/dev/shm/kestrune-XXXXXX" : QString());
  for (int k = 0; k < 10000; ++k) {
    const QByteArray name = QFile::encodeName(music.filePath(QStringLiteral("track %1.mp3").arg(k)));
    ::close(::open(name.constData(), O_WRONLY | O_CREAT, 0644));
  }
  // The scripted platform answers the folder browser and lists the folder for real.
  ScriptedPlatform platform;
  LibraryVbmp3 decoder(programFolder.filePath("libvbmp3.so"));  // not called by these commands
  App app(decoder, platform, programFolder.path());
  Form2& songList = app.form2();
  songList.show();

  const Timing folder = measure(
      runs,
      [&] {
        songList.List1->clear();
        songList.List2->clear();
        platform.dialogAnswers = {music.path()};
      },
      [&] { Form2_Command8_Click(app); });
  if (songList.List1->count() != 10000) return 1;

  writeListFile(programFolder.filePath(listFileName(1)), fullList("A"));
  writeListFile(programFolder.filePath(listFileName(2)), fullList("B"));
  songList.Combo1->addItems({"A", "B"});
  songList.Combo1->setCurrentIndex(1);
  int next = 2;
  const Timing genreSwitch = measure(
      runs, [] {},
      [&] {
        songList.Combo1->setCurrentIndex(next);
        next = 3 - next;
      });
  if (songList.List1->count() != kMaxListEntries) return 1;

  const QString last = songList.List1->text(kMaxListEntries - 1).toUpper();
  int found = -1;
  const Timing search = measure(
      runs, [] {}, [&] { found = findTitle(songList.List1->texts(), last, -1, false); });
  if (found != kMaxListEntries - 1) return 1;
  std::printf("%d runs, medians (wall / thread CPU):\n", runs);
  std::printf("  Fol追加 of a folder of 10,000 MP3 files  %7.1f / %7.1f ms\n", folder.wallMs, folder.cpuMs);
  std::printf("  genre switch, 32,767 <-> 32,767 entries %7.1f / %7.1f ms\n", genreSwitch.wallMs,
              genreSwitch.cpuMs);
  std::printf("  search over 32,767 titles (last one)    %7.2f / %7.2f ms\n", search.wallMs, search.cpuMs);
  return 0;
}
