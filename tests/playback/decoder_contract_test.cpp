// The transport calls as the program relies on them, held against both the real library
// (through the program's binding) and the scripted decoder the other tests use: the same
// steps, the same answers. A fake that drifts from the library fails here.
#include <gtest/gtest.h>

#include <QFile>
#include <memory>

#include "audio_fixtures.h"
#include "core/vbmp3binding.h"
#include "fakes/scripted_decoder.h"

namespace {

constexpr int32_t kTrackSeconds = 30;

// The real libvbmp3.so with a real WAV made at test time.
struct RealLibrary {
  fixtures::TempDir dir;
  LibraryVbmp3 lib{qEnvironmentVariable("KESTRUNE_BUILD_DIR") + "/libvbmp3.so"};
  QString track = QString::fromStdString(dir / "track.wav");

  void SetUp() {
    ASSERT_TRUE(lib.loaded()) << "libvbmp3.so not found in KESTRUNE_BUILD_DIR";
    ASSERT_TRUE(fixtures::makeWav(track.toStdString(), kTrackSeconds, 22050, 1));
    ASSERT_EQ(lib.init(), 1);
  }
  Vbmp3& decoder() { return lib; }
};

struct Scripted {
  ScriptedDecoder fake;
  QString track = "/m/track.wav";

  void SetUp() { fake.addTrack(track, kTrackSeconds); }
  Vbmp3& decoder() { return fake; }
};

enum class Call { Open, OpenMissing, Play, Stop, Pause, Restart, Seek3, Seek1 };

// One call, what it returns, and the state and position getState reports right after. The
// real track plays in real time, so a position is a range.
struct Step {
  Call call;
  int16_t result;
  int32_t state;
  int32_t minSeconds = 0, maxSeconds = 0;
};

template <typename Subject>
class DecoderContract : public ::testing::Test {
 protected:
  Subject subject_;

  void SetUp() override { subject_.SetUp(); }
  // The library is one per process: every test starts and ends with nothing open.
  void TearDown() override { subject_.decoder().free(); }

  int16_t call(Call c) {
    Vbmp3& d = subject_.decoder();
    TrackInfo info{};
    switch (c) {
      case Call::Open:
        return d.open(subject_.track, info);
      case Call::OpenMissing:
        return d.open(subject_.track + ".missing.mp3", info);
      case Call::Play:
        return d.play();
      case Call::Stop:
        return d.stop();
      case Call::Pause:
        return d.pause();
      case Call::Restart:
        return d.restart();
      case Call::Seek3:
        return d.seek(3);
      case Call::Seek1:
        return d.seek(1);
    }
    return -1;
  }

  void run(std::initializer_list<Step> steps) {
    int n = 0;
    for (const Step& step : steps) {
      SCOPED_TRACE(testing::Message() << "step " << n++);
      EXPECT_EQ(call(step.call), step.result);
      int32_t seconds = -1;
      EXPECT_EQ(subject_.decoder().getState(seconds), step.state);
      EXPECT_GE(seconds, step.minSeconds);
      EXPECT_LE(seconds, step.maxSeconds);
    }
  }
};

using Subjects = ::testing::Types<Scripted, RealLibrary>;
class SubjectNames {
 public:
  template <typename T>
  static std::string GetName(int) {
    return std::is_same_v<T, Scripted> ? "Scripted" : "Library";
  }
};
TYPED_TEST_SUITE(DecoderContract, Subjects, SubjectNames);

TYPED_TEST(DecoderContract, WithNothingOpenEveryTransportCallFails) {
  this->run({{Call::Play, 0, VBMP3_STATE_STOPPED},
             {Call::Pause, 0, VBMP3_STATE_STOPPED},
             {Call::Restart, 0, VBMP3_STATE_STOPPED},
             {Call::Seek3, 0, VBMP3_STATE_STOPPED},
             {Call::Stop, 0, VBMP3_STATE_STOPPED}});
}

TYPED_TEST(DecoderContract, OpenLeavesTheTrackStoppedAtItsStartAndPlayStartsIt) {
  this->run({{Call::Open, 1, VBMP3_STATE_STOPPED},
             {Call::Pause, 0, VBMP3_STATE_STOPPED},
             {Call::Restart, 0, VBMP3_STATE_STOPPED},
             {Call::Seek3, 0, VBMP3_STATE_STOPPED},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1}});
}

TYPED_TEST(DecoderContract, PauseHoldsThePositionAndRestartResumesFromIt) {
  this->run({{Call::Open, 1, VBMP3_STATE_STOPPED},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1},
             {Call::Pause, 1, VBMP3_STATE_PAUSED, 0, 1},
             {Call::Seek3, 1, VBMP3_STATE_PAUSED, 3, 3},
             {Call::Pause, 1, VBMP3_STATE_PAUSED, 3, 3},
             {Call::Restart, 1, VBMP3_STATE_PLAYING, 3, 4},
             {Call::Restart, 0, VBMP3_STATE_PLAYING, 3, 4},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 3, 4}});  // what the play button does after restart
}

TYPED_TEST(DecoderContract, PlayAloneResumesAPausedTrack) {
  this->run({{Call::Open, 1, VBMP3_STATE_STOPPED},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1},
             {Call::Seek3, 1, VBMP3_STATE_PLAYING, 3, 4},
             {Call::Pause, 1, VBMP3_STATE_PAUSED, 3, 4},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 3, 5}});
}

TYPED_TEST(DecoderContract, StopReturnsToTheStartAndPlayBeginsThere) {
  this->run({{Call::Open, 1, VBMP3_STATE_STOPPED},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1},
             {Call::Seek3, 1, VBMP3_STATE_PLAYING, 3, 4},
             {Call::Stop, 1, VBMP3_STATE_STOPPED, 0, 0},
             {Call::Stop, 1, VBMP3_STATE_STOPPED, 0, 0},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1},
             {Call::Seek1, 1, VBMP3_STATE_PLAYING, 1, 2}});
}

TYPED_TEST(DecoderContract, OpenStopsWhatPlays) {
  this->run({{Call::Open, 1, VBMP3_STATE_STOPPED},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1},
             {Call::Seek3, 1, VBMP3_STATE_PLAYING, 3, 4},
             {Call::Open, 1, VBMP3_STATE_STOPPED, 0, 0},
             {Call::Play, 1, VBMP3_STATE_PLAYING, 0, 1}});
}

TYPED_TEST(DecoderContract, AFailedOpenClosesThePreviousTrack) {
  for (Call before : {Call::Play, Call::Pause, Call::Stop}) {
    SCOPED_TRACE(static_cast<int>(before));
    this->call(Call::Open);
    this->call(Call::Play);
    this->call(before);
    this->run({{Call::OpenMissing, 0, VBMP3_STATE_STOPPED},
               {Call::Play, 0, VBMP3_STATE_STOPPED},
               {Call::Restart, 0, VBMP3_STATE_STOPPED},
               {Call::Seek3, 0, VBMP3_STATE_STOPPED},
               {Call::Stop, 0, VBMP3_STATE_STOPPED}});
  }
}

TYPED_TEST(DecoderContract, AFailedOpenEmptiesTheTrackRecord) {
  TrackInfo info{};
  ASSERT_EQ(this->subject_.decoder().open(this->subject_.track, info), 1);
  EXPECT_EQ(info.length, kTrackSeconds);
  EXPECT_EQ(this->subject_.decoder().open(this->subject_.track + ".missing.mp3", info), 0);
  EXPECT_EQ(info.length, 0);
}

}  // namespace
