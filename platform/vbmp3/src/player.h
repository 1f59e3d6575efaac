// Playback of one open track through SDL2 audio. A decoding thread of the player's own fills a
// ring of frames; the output device's callback renders them (see Renderer). Every call is
// serialised by one mutex and returns quickly: decoding and file access happen on the decoding
// thread, and the callback is held off only for short updates of its state.
// SDL2 is loaded and the output device opens at the first play, in one format for every track;
// the device stays open until shutdown: closing it waits for its audio thread, a tenth of a second.
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
  bool deviceOpen();

 private:
  Player() = default;

  static void SDLCALL audioCallback(void* self, Uint8* stream, int bytes);
  void shutdownLocked();
  bool startAudio();
  bool ensureDevice();
  bool openDevice();
  void closeDevice();
  void pauseDevice(bool paused);
  void closeTrack();
  void startFeeder();
  void stopFeeder();
  void feed();
  void finishIfEnded();

  std::mutex mutex_;
  std::unique_ptr<SdlLibrary> sdl_;  // loaded at the first play, kept to the end
  bool audioRunning_ = false;        // SDL's audio started
  SDL_AudioDeviceID device_ = 0;

  std::unique_ptr<Source> source_;
  SourceInfo info_;                     // the open track's, as it opened
  std::unique_ptr<Renderer> renderer_;  // replaced only while the callback is held off
  PlayState state_ = PlayState::Stopped;
  int64_t stoppedAt_ = 0;  // track frame shown while stopped

  PlaybackSettings settings_;
  EqBands bands_{};

  std::thread feeder_;
  std::atomic<bool> feederQuit_{false};
  Wakeup feederWakeup_;
  std::atomic<uint64_t> seekGeneration_{0};
  std::atomic<int64_t> seekTarget_{0};
};

}  // namespace vbmp3
