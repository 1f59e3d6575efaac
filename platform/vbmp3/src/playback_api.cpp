// The playback calls of the C interface.
#include "c_api.h"
#include "jobs.h"
#include "player.h"
#include "vbmp3.h"

using vbmp3::guarded;
using vbmp3::guardedFlag;
using vbmp3::Player;

// Nothing to prepare: the player loads and starts SDL's audio at the first play.
int16_t vbmp3_init(void) { return 1; }

int16_t vbmp3_open(const char* path, TrackInfo* info) {
  return guardedFlag([&] { return Player::instance().open(path, info); });
}

int16_t vbmp3_play(void) {
  return guardedFlag([] { return Player::instance().play(); });
}

int16_t vbmp3_stop(void) {
  return guardedFlag([] { return Player::instance().stop(); });
}

int16_t vbmp3_pause(void) {
  return guardedFlag([] { return Player::instance().pause(); });
}

int16_t vbmp3_restart(void) {
  return guardedFlag([] { return Player::instance().restart(); });
}

int16_t vbmp3_free(void) {
  return guardedFlag([] {
    vbmp3::stopJobs();  // a running encode or decode ends with a valid, shorter file
    Player::instance().shutdown();
    return true;
  });
}

int16_t vbmp3_seek(int32_t seconds) {
  return guardedFlag([&] { return Player::instance().seek(seconds); });
}

int32_t vbmp3_getState(int32_t* seconds) {
  return guarded<int32_t>(VBMP3_STATE_STOPPED,
                          [&] { return static_cast<int32_t>(Player::instance().state(seconds)); });
}

int16_t vbmp3_getMpegInfo(MpegInfo* out) {
  return guardedFlag([&] { return Player::instance().mpegInfo(out); });
}

int16_t vbmp3_setPitch(int32_t pitch) {
  return guardedFlag([&] {
    Player::instance().setPitch(pitch);
    return true;
  });
}

int32_t vbmp3_getPitch(void) {
  return guarded<int32_t>(0, [] { return Player::instance().pitch(); });
}

int16_t vbmp3_setVolume(int32_t left, int32_t right) {
  return guardedFlag([&] {
    Player::instance().setVolume(left, right);
    return true;
  });
}

int16_t vbmp3_getVolume(int32_t* left, int32_t* right) {
  return guardedFlag([&] {
    Player::instance().volume(left, right);
    return true;
  });
}

int16_t vbmp3_setFadeIn(int32_t on) {
  return guardedFlag([&] {
    Player::instance().setFadeIn(on != VBMP3_FADE_OFF);
    return true;
  });
}

int16_t vbmp3_setFadeOut(int32_t on) {
  return guardedFlag([&] {
    Player::instance().setFadeOut(on != VBMP3_FADE_OFF);
    return true;
  });
}

int16_t vbmp3_setEqualizer(const int32_t bands[10]) {
  return guardedFlag([&] {
    if (!bands) return false;
    Player::instance().setEqualizer(bands);
    return true;
  });
}

int16_t vbmp3_reload(void) {
  return guardedFlag([] {
    Player::instance().reload();
    return true;
  });
}

int16_t vbmp3_getWave(int32_t left[256], int32_t right[256]) {
  return guardedFlag([&] {
    if (!left || !right) return false;
    Player::instance().wave(left, right);
    return true;
  });
}

int32_t vbmp3_getUnderruns(void) {
  return guarded<int32_t>(0, [] { return Player::instance().underruns(); });
}

int32_t vbmp3_getOutput(void) {
  return guarded<int32_t>(VBMP3_OUTPUT_NONE, [] { return Player::instance().output(); });
}
