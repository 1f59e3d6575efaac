// A decoder for tests: records every call with its arguments ("open(/m/a.mp3)") and
// answers from a script. Transport calls keep a small state model that answers as the
// library does (the shared decoder contract test holds both to it): open closes the open
// track first, so a failed open leaves nothing open; with nothing open play, stop, pause,
// restart and seek fail; play starts a stopped track at second 0 and resumes a paused one
// where it is; pause and restart only act on a playing or paused track; seek needs a
// playing or paused track and stays within it. A scripted getState sequence overrides the
// model, one answer per call.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <map>
#include <optional>

#include "core/vbmp3binding.h"

class ScriptedDecoder final : public Vbmp3 {
 public:
  struct State {
    int32_t state = VBMP3_STATE_STOPPED;
    int32_t seconds = 0;
  };

  // --- script ---
  std::deque<int16_t> initResults;  // answers of init(), then initResult
  int16_t initResult = 1;
  std::map<QString, TrackInfo> tracks;  // open() succeeds for these paths only
  std::deque<State> stateScript;        // answers of getState(), then `current`
  State current;
  MpegInfo mpegInfo{};
  std::map<QString, TagInfo> tags;          // getFileTagInfoEX() succeeds for these
  int16_t setTagResult = 1;                 // setTagInfoEX(): 0 refuses and stores nothing
  QStringList genreNames;                   // getGenre(): name by number, empty beyond
  std::map<QString, EncodeInfo> encodable;  // encodeOpen() succeeds for these
  std::deque<int32_t> encodeStates;         // answers of getEncodeState(), then encodeState
  int32_t encodeState = VBMP3_ENCODE_IDLE;
  int16_t encodeStartResult = 1;
  int16_t decodeResult = 1;
  struct Progress {
    int32_t outcome = VBMP3_CONVERSION_NONE;
    int32_t perMille = 0;
  };
  std::deque<Progress> progressScript;  // answers of getConversionProgress(), then `progress`
  Progress progress;
  WaveBuffer waveLeft{}, waveRight{};
  int32_t pitch = 100, volumeLeft = 100, volumeRight = 100;
  EqualizerBands bands{};
  int32_t version = 100;
  int32_t output = VBMP3_OUTPUT_DEVICE;  // answer of getOutput()

  // --- record ---
  QStringList calls;
  QString openPath;                      // the open track's path; empty when none is open
  int count(const QString& name) const;  // calls of one method, by name

  // Adds a track that open() accepts.
  void addTrack(const QString& path, int32_t seconds, int32_t bitRate = 128, int32_t rate = 44100,
                const char* artist = "");

  int16_t init() override;
  void useAtMarkTag(int32_t on) override;
  int16_t open(const QString& path, TrackInfo& info) override;
  int16_t play() override;
  int16_t stop() override;
  int16_t pause() override;
  int16_t restart() override;
  int16_t free() override;
  int16_t seek(int32_t seconds) override;
  int32_t getState(int32_t& seconds) override;
  int16_t getMpegInfo(MpegInfo& info) override;
  int16_t setPitch(int32_t value) override;
  int32_t getPitch() override;
  int16_t setVolume(int32_t left, int32_t right) override;
  int16_t getVolume(int32_t& left, int32_t& right) override;
  int16_t setFadeIn(int32_t on) override;
  int16_t setFadeOut(int32_t on) override;
  int16_t setEqualizer(const EqualizerBands& values) override;
  int16_t reload() override;
  int16_t getWave(WaveBuffer& left, WaveBuffer& right) override;
  int16_t getGenre(GenreInfo& info) override;
  int16_t getFileTagInfoEX(const QString& path, TagInfo& tag) override;
  int16_t setTagInfoEX(const QString& path, const TagInfo& tag, int32_t v2, int32_t v1) override;
  int16_t encodeOpen(const QString& wavPath, EncodeInfo& info) override;
  int16_t encodeStart(const QString& mp3Path) override;
  int16_t encodeStop() override;
  int32_t getEncodeState() override;
  int16_t decodeWave(const QString& wavPath) override;
  int16_t playDecodeWave(const QString& wavPath) override;
  int32_t getConversionProgress(int32_t& perMille) override;
  int32_t getVersion() override;
  int32_t getOutput() override;

 private:
  void record(const QString& name, const QStringList& args = {});
};
