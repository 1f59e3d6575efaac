// Playback of one open track through SDL2 audio. A decoding thread of the player's own (the
// feeder) fills a ring of frames; the output device's callback renders them (see Renderer).
// Calls return quickly: decoding and file access happen on the feeder, and the callback is held
// off only for short updates of its state.
// SDL2 is loaded and the output device opens at the first play, in one format for every track;
// the device stays open until shutdown: closing it waits for its audio thread, a tenth of a second.
//
// Threads and what guards what:
// - API calls come from any thread. All but the six settings calls (setPitch, pitch, setVolume,
//   volume, setFadeIn, setFadeOut) take mutex_, which guards every field below that is not an
//   atomic. The settings live in PlaybackSettings, atomics that the callback reads every block.
// - The feeder uses sdl_, device_, source_ and renderer_ without the mutex. Those four change
//   only while no feeder runs: every path that replaces or closes them stops it first
//   (stopFeeder() joins it). It learns of requests through atomics (feederQuit_,
//   seekGeneration_, seekTarget_) and feederWakeup_.
// - The callback runs on SDL's audio thread with the device locked. renderer_ and the
//   renderer's state other than its ring change only under DeviceLock (which locks the device),
//   from the API threads or the feeder. The ring is single-producer (feeder), single-consumer
//   (callback), with atomic indices.
// - The API threads never use source_ while a feeder runs, except that info_ is a copy taken at
//   open, so describing the track needs nothing from the source.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "decoder.h"
#include "equalizer.h"
#include "renderer.h"
#include "sdl_library.h"
#include "vbmp3.h"

namespace vbmp3 {

enum class PlayState {
  Stopped = VBMP3_STATE_STOPPED,
  Playing = VBMP3_STATE_PLAYING,
  Paused = VBMP3_STATE_PAUSED
};

class Player {
 public:
  static Player& instance();
  ~Player();

  void shutdown();
  bool open(const char* path, TrackInfo* info);
  bool play();
  bool stop();
  bool pause();
  bool restart();
  bool seek(int32_t seconds);
  // At the end of the track the state is Stopped and the position stays at the track's end
  // until play, stop, or another open.
  PlayState state(int32_t* seconds);
  bool mpegInfo(MpegInfo* out);
  void setPitch(int32_t pitch);
  int32_t pitch();
  void setVolume(int32_t left, int32_t right);
  void volume(int32_t* left, int32_t* right);
  void setFadeIn(bool on) { settings_.fadeIn = on; }
  void setFadeOut(bool on) { settings_.fadeOut = on; }
  void setEqualizer(const int32_t* bands);
  void reload();
  // Zeros unless playing.
  void wave(int32_t* left, int32_t* right);
  // Output callbacks so far that ran dry while a track played.
  int32_t underruns() const { return underruns_.load(std::memory_order_relaxed); }
  bool deviceOpen();
  // VBMP3_OUTPUT_*: no device open, a sound device, or SDL's dummy driver.
  int32_t output();

 private:
  Player() = default;

  static void SDLCALL audioCallback(void* self, Uint8* stream, int bytes);
  void shutdownLocked();
  bool startAudio();
  bool ensureDevice();
  bool onDummyDriver() const;
  bool openDevice();
  void closeDevice();
  void pauseDevice(bool paused);
  void closeTrack();
  void startFeeder();
  void stopFeeder();
  void feed();
  void finishIfEnded();

  std::mutex mutex_;

  // Used by the feeder too: changed only with mutex_ held and no feeder running.
  std::unique_ptr<SdlLibrary> sdl_;  // loaded at the first play, kept to the end
  SDL_AudioDeviceID device_ = 0;
  std::unique_ptr<Source> source_;
  std::unique_ptr<Renderer> renderer_;  // also replaced only while the callback is held off

  // Under mutex_ alone.
  bool audioRunning_ = false;  // SDL's audio started
  bool silent_ = false;        // the open device is the dummy driver's
  SourceInfo info_;            // the open track's, as it opened
  PlayState state_ = PlayState::Stopped;
  int64_t stoppedAt_ = 0;  // track frame shown while stopped
  EqBands bands_{};
  std::thread feeder_;

  PlaybackSettings settings_;  // atomics
  std::atomic<bool> feederQuit_{false};
  Wakeup feederWakeup_;
  std::atomic<uint64_t> seekGeneration_{0};
  std::atomic<int64_t> seekTarget_{0};
  std::atomic<int32_t> underruns_{0};  // counted by the callback
};

}  // namespace vbmp3
