// The playback calls of the C interface.
#include "jobs.h"
#include "player.h"
#include "vbmp3.h"

using vbmp3::Player;

namespace {
int16_t flag(bool ok) { return ok ? 1 : 0; }
}  // namespace

// Nothing to prepare: the player loads and starts SDL's audio at the first play.
int16_t vbmp3_init(void) { return 1; }

int16_t vbmp3_open(const char* path, TrackInfo* info) { return flag(Player::instance().open(path, info)); }

int16_t vbmp3_play(void) { return flag(Player::instance().play()); }

int16_t vbmp3_stop(void) { return flag(Player::instance().stop()); }

int16_t vbmp3_pause(void) { return flag(Player::instance().pause()); }

int16_t vbmp3_restart(void) { return flag(Player::instance().restart()); }

int16_t vbmp3_free(void) {
  vbmp3::stopJobs();  // a running encode or decode ends with a valid, shorter file
  Player::instance().shutdown();
  return 1;
}

int16_t vbmp3_seek(int32_t seconds) { return flag(Player::instance().seek(seconds)); }

int32_t vbmp3_getState(int32_t* seconds) { return static_cast<int32_t>(Player::instance().state(seconds)); }

int16_t vbmp3_getMpegInfo(MpegInfo* out) { return flag(Player::instance().mpegInfo(out)); }

int16_t vbmp3_setPitch(int32_t pitch) {
  Player::instance().setPitch(pitch);
  return 1;
}

int32_t vbmp3_getPitch(void) { return Player::instance().pitch(); }

int16_t vbmp3_setVolume(int32_t left, int32_t right) {
  Player::instance().setVolume(left, right);
  return 1;
}

int16_t vbmp3_getVolume(int32_t* left, int32_t* right) {
  Player::instance().volume(left, right);
  return 1;
}

int16_t vbmp3_setFadeIn(int32_t on) {
  Player::instance().setFadeIn(on != 0);
  return 1;
}

int16_t vbmp3_setFadeOut(int32_t on) {
  Player::instance().setFadeOut(on != 0);
  return 1;
}

int16_t vbmp3_setEqualizer(const int32_t bands[10]) {
  if (!bands) return 0;
  Player::instance().setEqualizer(bands);
  return 1;
}

int16_t vbmp3_reload(void) {
  Player::instance().reload();
  return 1;
}

int16_t vbmp3_getWave(int32_t left[256], int32_t right[256]) {
  if (!left || !right) return 0;
  Player::instance().wave(left, right);
  return 1;
}
