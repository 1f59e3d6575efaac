// Reads and writes a full song list (32,767 entries, Japanese titles and paths) and prints
// the median times. Usage: app_listfile [runs]
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "songlist/listfile.h"

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  FieldPairs list;
  for (int k = 0; k < kMaxListEntries; ++k) {
    const QString title = QString::fromUtf8("曲名 %1 – ライブ, take").arg(k);
    list.first.append(title);
    list.second.append(QString::fromUtf8("/home/user/音楽/アーティスト/アルバム/") + title + ".mp3");
  }
  QTemporaryDir dir;
  const QString path = dir.filePath("List0.dat");
  std::vector<double> writeMs, readMs;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    if (writeListFile(path, list) != WriteStatus::Ok) return 1;
    writeMs.push_back(timer.nsecsElapsed() / 1e6);
    timer.restart();
    const FieldPairs read = readListFile(path);
    readMs.push_back(timer.nsecsElapsed() / 1e6);
    if (read.first != list.first || read.second != list.second) return 1;
  }
  std::printf("%d entries, %lld bytes, %d runs: write %.1f ms, read %.1f ms (medians)\n", kMaxListEntries,
              static_cast<long long>(QFileInfo(path).size()), runs, median(writeMs), median(readMs));
  return 0;
}
