// Reads and writes a full song list (32,767 entries, Japanese titles and paths) and prints
// the median times, once for a list stored as CP932 and once for one that needs UTF-8 (its
// titles hold an en dash, which CP932 lacks). Usage: app_listfile [runs]
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

FieldPairs fullList(const char* titleForm) {
  FieldPairs list;
  for (int k = 0; k < kMaxListEntries; ++k) {
    const QString title = QString::fromUtf8(titleForm).arg(k);
    list.first.append(title);
    list.second.append(QString::fromUtf8("/home/user/音楽/アーティスト/アルバム/") + title + ".mp3");
  }
  return list;
}

bool measure(const char* kind, const FieldPairs& list, int runs) {
  QTemporaryDir dir;
  const QString path = dir.filePath("List0.dat");
  std::vector<double> writeMs, readMs;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer timer;
    timer.start();
    if (writeListFile(path, list) != WriteStatus::Ok) return false;
    writeMs.push_back(timer.nsecsElapsed() / 1e6);
    timer.restart();
    const FieldPairs read = readListFile(path);
    readMs.push_back(timer.nsecsElapsed() / 1e6);
    if (read.first != list.first || read.second != list.second) return false;
  }
  std::printf("%-5s %d entries, %lld bytes, %d runs: write %.1f ms, read %.1f ms (medians)\n", kind,
              kMaxListEntries, static_cast<long long>(QFileInfo(path).size()), runs, median(writeMs),
              median(readMs));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const bool ok = measure("CP932", fullList("曲名 %1 ライブ, take"), runs) &&
                  measure("UTF-8", fullList("曲名 %1 – ライブ, take"), runs);
  return ok ? 0 : 1;
}
