#include "player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "sdl_library.h"
#include "tags.h"
#include "text.h"

namespace vbmp3 {
namespace {

// Frames decoded between looks at seek and stop requests.
constexpr size_t kChunkFrames = 4096;

// Holds the audio callback off while the callback's state changes.
class DeviceLock {
 public:
  DeviceLock(const SdlLibrary* sdl, SDL_AudioDeviceID device) : sdl_(sdl), device_(device) {
    if (device_) sdl_->LockAudioDevice(device_);
  }
  ~DeviceLock() {
    if (device_) sdl_->UnlockAudioDevice(device_);
  }
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;

 private:
  const SdlLibrary* sdl_;
  SDL_AudioDeviceID device_;
};

// Output buffer of about 50 ms: long enough to keep wake-ups rare, short enough for a prompt pause.
Uint16 bufferFrames(int rate) {
  Uint16 frames = 256;
  while (frames < 8192 && frames * 2 <= rate / 20 + rate / 40) frames *= 2;
  return frames;
}

}  // namespace

Player& Player::instance() {
  static Player player;
  return player;
}

Player::~Player() { shutdown(); }

void Player::shutdown() {
  std::lock_guard lock(mutex_);
  shutdownLocked();
}

void Player::shutdownLocked() {
  closeTrack();
  closeDevice();
  if (audioRunning_) sdl_->QuitSubSystem(SDL_INIT_AUDIO);
  audioRunning_ = false;
}

// Loads SDL and starts its audio, on the first play: a program that only reads tags or
// converts never pays for either.
bool Player::startAudio() {
  if (audioRunning_) return true;
  if (!sdl_) sdl_ = SdlLibrary::load(SdlLibrary::kFileName);
  if (!sdl_) return false;
  // The host program keeps its own handling of SIGINT and SIGTERM.
  sdl_->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) {
    // No audio driver starts: the dummy driver consumes samples in real time, so playback still runs.
    sdl_->SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  }
  audioRunning_ = true;
  return true;
}

bool Player::onDummyDriver() const {
  const char* driver = sdl_->GetCurrentAudioDriver();
  return driver && std::strcmp(driver, "dummy") == 0;
}

// Opens the output device unless it is open; when no real device opens, the dummy driver's.
bool Player::ensureDevice() {
  if (device_) return true;
  if (!startAudio()) return false;
  if (!openDevice()) {
    if (onDummyDriver()) return false;
    sdl_->QuitSubSystem(SDL_INIT_AUDIO);
    sdl_->SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) {
      audioRunning_ = false;
      return false;
    }
    if (!openDevice()) return false;
  }
  silent_ = onDummyDriver();
  const char* asked = std::getenv("SDL_AUDIODRIVER");
  if (silent_ && !(asked && std::strcmp(asked, "dummy") == 0))
    std::fputs("libvbmp3: no sound device could be opened; playing silently.\n", stderr);
  return true;
}

bool Player::openDevice() {
  SDL_AudioSpec want{};
  want.freq = Renderer::kOutputRate;
  want.format = AUDIO_S16SYS;
  want.channels = Renderer::kOutputChannels;
  want.samples = bufferFrames(Renderer::kOutputRate);
  want.callback = &Player::audioCallback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts to whatever the hardware takes.
  device_ = sdl_->OpenAudioDevice(nullptr, 0, &want, &have, 0);
  return device_ != 0;
}

void Player::closeDevice() {
  if (device_) sdl_->CloseAudioDevice(device_);
  device_ = 0;
}

void Player::pauseDevice(bool paused) {
  if (device_) sdl_->PauseAudioDevice(device_, paused ? 1 : 0);
}

bool Player::deviceOpen() {
  std::lock_guard lock(mutex_);
  return device_ != 0;
}

int32_t Player::output() {
  std::lock_guard lock(mutex_);
  if (!device_) return VBMP3_OUTPUT_NONE;
  return silent_ ? VBMP3_OUTPUT_SILENT : VBMP3_OUTPUT_DEVICE;
}

// Runs on SDL's audio thread with the device locked.
void SDLCALL Player::audioCallback(void* self, Uint8* stream, int bytes) {
  auto* player = static_cast<Player*>(self);
  if (!player->renderer_) {
    std::memset(stream, 0, static_cast<size_t>(bytes));
    return;
  }
  const size_t frames = static_cast<size_t>(bytes) / (sizeof(int16_t) * Renderer::kOutputChannels);
  if (!player->renderer_->render(reinterpret_cast<int16_t*>(stream), frames))
    player->underruns_.fetch_add(1, std::memory_order_relaxed);
}

void Player::closeTrack() {
  stopFeeder();
  pauseDevice(true);
  std::unique_ptr<Renderer> old;
  {
    DeviceLock lock(sdl_.get(), device_);
    old = std::move(renderer_);
  }
  source_.reset();
  setOpenTrackPath("");
  state_ = PlayState::Stopped;
  stoppedAt_ = 0;
}

namespace {

TrackInfo describe(const std::string& path, const SourceInfo& si) {
  TrackInfo info{};
  copyField(info.trackName, sizeof info.trackName, std::filesystem::path(path).stem().string());
  TagInfo tag{};
  if (readTag(path, &tag))
    copyField(info.artist, sizeof info.artist, readField(tag.artist, sizeof tag.artist));
  info.bitRate = si.bitRate;
  info.samplingRate = si.rate;
  info.length = static_cast<int32_t>(si.lengthFrames / si.rate);
  return info;
}

}  // namespace

// Everything that can fail (or throw) happens before the track becomes the open one.
bool Player::open(const char* path, TrackInfo* info) {
  std::lock_guard lock(mutex_);
  if (info) std::memset(info, 0, sizeof *info);
  closeTrack();
  if (!path) return false;
  auto source = openSource(path);
  if (!source) return false;
  SourceInfo si = source->info();
  auto renderer = std::make_unique<Renderer>(si.rate, si.channels, si.lengthFrames, settings_, feederWakeup_);
  const TrackInfo described = info ? describe(path, si) : TrackInfo{};
  setOpenTrackPath(path);
  {
    DeviceLock deviceLock(sdl_.get(), device_);
    renderer_ = std::move(renderer);
  }
  source_ = std::move(source);
  info_ = std::move(si);
  if (info) *info = described;
  return true;
}

void Player::startFeeder() {
  feederQuit_ = false;
  feeder_ = std::thread([this] {
    try {
      feed();
    } catch (...) {  // the source failed for want of memory: the track ends where decoding stopped
      DeviceLock lock(sdl_.get(), device_);
      renderer_->markEnd(renderer_->ring().writeIndex());
    }
  });
}

void Player::stopFeeder() {
  if (!feeder_.joinable()) return;
  feederQuit_ = true;
  feederWakeup_.notify();
  feeder_.join();
}

// The decoding thread: keeps the ring filled and carries out seeks. It owns the source while
// it runs.
void Player::feed() {
  FrameRing& ring = renderer_->ring();
  uint64_t handledSeek = seekGeneration_.load();
  bool atEnd = false;
  bool filling = false;
  while (!feederQuit_) {
    const uint64_t generation = seekGeneration_.load();
    if (generation != handledSeek) {
      handledSeek = generation;
      const int64_t target = seekTarget_.load();
      atEnd = !source_->seek(target);
      DeviceLock lock(sdl_.get(), device_);
      renderer_->requestJump(ring.writeIndex(), target, generation);
      if (atEnd) renderer_->markEnd(ring.writeIndex());
      continue;
    }
    filling = !atEnd && (ring.writable() >= Renderer::kRefillFrames || (filling && ring.writable() > 0));
    if (!filling) {
      feederWakeup_.waitFor(std::chrono::seconds(1));  // woken by the callback or a request
      continue;
    }
    size_t span = 0;
    int16_t* at = ring.writeSpan(&span);
    const size_t got = source_->read(at, std::min(span, kChunkFrames));
    ring.commit(got);
    if (got == 0) {
      atEnd = true;
      DeviceLock lock(sdl_.get(), device_);
      renderer_->markEnd(ring.writeIndex());
    }
  }
}

void Player::finishIfEnded() {
  if (!renderer_ || state_ == PlayState::Stopped) return;
  int64_t at = 0;
  {
    DeviceLock lock(sdl_.get(), device_);
    if (!renderer_->ended()) return;
    at = renderer_->position();
  }
  stopFeeder();
  pauseDevice(true);
  state_ = PlayState::Stopped;
  stoppedAt_ = at;
}

bool Player::play() {
  std::lock_guard lock(mutex_);
  if (!renderer_) return false;
  finishIfEnded();
  if (state_ == PlayState::Playing) return true;
  if (state_ == PlayState::Paused) {
    DeviceLock deviceLock(sdl_.get(), device_);
    renderer_->setPaused(false);
    state_ = PlayState::Playing;
    return true;
  }
  stopFeeder();
  if (!ensureDevice() || !source_->seek(0)) return false;
  EqBank bank = renderer_->equalizerBank(bands_);
  {
    DeviceLock deviceLock(sdl_.get(), device_);
    renderer_->start(std::move(bank), seekGeneration_.load());
  }
  startFeeder();
  pauseDevice(false);
  state_ = PlayState::Playing;
  return true;
}

bool Player::stop() {
  std::lock_guard lock(mutex_);
  if (!renderer_) return false;
  stopFeeder();
  pauseDevice(true);
  state_ = PlayState::Stopped;
  stoppedAt_ = 0;
  return true;
}

bool Player::pause() {
  std::lock_guard lock(mutex_);
  finishIfEnded();
  if (state_ == PlayState::Paused) return true;
  if (state_ != PlayState::Playing) return false;
  DeviceLock deviceLock(sdl_.get(), device_);
  renderer_->setPaused(true);
  state_ = PlayState::Paused;
  return true;
}

bool Player::restart() {
  std::lock_guard lock(mutex_);
  finishIfEnded();
  if (state_ != PlayState::Paused) return false;
  DeviceLock deviceLock(sdl_.get(), device_);
  renderer_->setPaused(false);
  state_ = PlayState::Playing;
  return true;
}

bool Player::seek(int32_t seconds) {
  std::lock_guard lock(mutex_);
  finishIfEnded();
  if (!renderer_ || state_ == PlayState::Stopped) return false;
  const SourceInfo& si = info_;
  seekTarget_ = std::clamp(static_cast<int64_t>(seconds) * si.rate, int64_t{0}, si.lengthFrames);
  seekGeneration_.fetch_add(1);
  feederWakeup_.notify();
  return true;
}

PlayState Player::state(int32_t* seconds) {
  std::lock_guard lock(mutex_);
  finishIfEnded();
  int64_t frame = stoppedAt_;
  if (renderer_ && state_ != PlayState::Stopped) {
    DeviceLock deviceLock(sdl_.get(), device_);
    // A seek not yet heard shows its target already.
    frame = renderer_->seekGenerationPlayed() < seekGeneration_.load() ? seekTarget_.load()
                                                                       : renderer_->position();
  }
  if (seconds) *seconds = source_ ? static_cast<int32_t>(frame / info_.rate) : 0;
  return state_;
}

bool Player::mpegInfo(MpegInfo* out) {
  std::lock_guard lock(mutex_);
  if (!out) return false;
  std::memset(out, 0, sizeof *out);
  if (!source_) return false;
  const SourceInfo& si = info_;
  out->version = si.mpegVersion;
  out->layer = si.layer;
  out->bitRate = si.bitRate;
  out->samplingRate = si.rate;
  out->channels = si.channels;
  out->frames = static_cast<int32_t>(std::min<int64_t>(si.frames, INT32_MAX));
  return true;
}

void Player::setPitch(int32_t pitch) { settings_.pitch = std::clamp(pitch, 60, 200); }

int32_t Player::pitch() { return settings_.pitch; }

void Player::setVolume(int32_t left, int32_t right) {
  settings_.volumeLeft = std::clamp(left, 0, 100);
  settings_.volumeRight = std::clamp(right, 0, 100);
}

void Player::volume(int32_t* left, int32_t* right) {
  if (left) *left = settings_.volumeLeft;
  if (right) *right = settings_.volumeRight;
}

void Player::setEqualizer(const int32_t* bands) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < bands_.size(); ++i) bands_[i] = std::clamp(bands[i], -128, 128);
}

void Player::reload() {
  std::lock_guard lock(mutex_);
  if (!renderer_ || state_ == PlayState::Stopped) return;  // play picks the bands up
  EqBank bank = renderer_->equalizerBank(bands_);
  std::optional<EqBank> replaced;  // freed here, not on the audio thread
  DeviceLock deviceLock(sdl_.get(), device_);
  replaced = renderer_->equalizer().schedule(std::move(bank));
}

void Player::wave(int32_t* left, int32_t* right) {
  std::lock_guard lock(mutex_);
  std::fill_n(left, Renderer::kWaveFrames, 0);
  std::fill_n(right, Renderer::kWaveFrames, 0);
  finishIfEnded();
  if (state_ != PlayState::Playing) return;
  int16_t l[Renderer::kWaveFrames], r[Renderer::kWaveFrames];
  {
    DeviceLock deviceLock(sdl_.get(), device_);
    renderer_->wave(l, r);
  }
  for (size_t i = 0; i < Renderer::kWaveFrames; ++i) {
    left[i] = static_cast<int32_t>(std::lround(l[i] * 100.0 / 32768));
    right[i] = static_cast<int32_t>(std::lround(r[i] * 100.0 / 32768));
  }
}

}  // namespace vbmp3
