// Times vbmp3_setTagInfoEX writing the tag editor's record (Japanese text in every field)
// into a copy of an MP3 whose tag has no padding, so that every write outgrows it. Prints
// one line per run: wall and CPU microseconds of the call alone (the copy is not timed).
//   bench_tag_write <tagged.mp3> <work.mp3> <runs>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "vbmp3.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A field filled as the editor fills it: the text, then blanks to the field's size.
template <std::size_t N>
void put(char (&field)[N], const char* text) {
  std::memset(field, ' ', N);
  std::memcpy(field, text, std::strlen(text));
}

TagInfo editorRecord() {
  TagInfo tag{};
  put(tag.title, "夜明けの歌 ～ 長い長い題名のついた曲の第二版");
  put(tag.artist, "山田花子とオーケストラ・ジャパン");
  put(tag.album, "日本の名曲集 第三集 ～ 特別編集版");
  put(tag.year, "2024");
  put(tag.comment, "タグ書き込みの速さを測るためのコメントです");
  tag.genre = 17;
  return tag;
}

double cpuMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: bench_tag_write <tagged.mp3> <work.mp3> <runs>\n");
    return 2;
  }
  const TagInfo tag = editorRecord();
  for (int run = 0; run < std::atoi(argv[3]); ++run) {
    fs::copy_file(argv[1], argv[2], fs::copy_options::overwrite_existing);
    const auto before = fs::file_size(argv[2]);
    const auto wall = Clock::now();
    const double cpu = cpuMicroseconds();
    const int16_t ok = vbmp3_setTagInfoEX(argv[2], &tag, 1, 1);
    const double cpuUs = cpuMicroseconds() - cpu;
    const auto wallUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - wall).count();
    if (!ok || fs::file_size(argv[2]) <= before) {
      std::fprintf(stderr, "the tag was not written, or did not grow\n");
      return 1;
    }
    std::printf("%lld %.0f\n", static_cast<long long>(wallUs), cpuUs);
  }
  return 0;
}
