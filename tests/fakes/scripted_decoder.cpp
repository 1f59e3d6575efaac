#include "fakes/scripted_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

QString number(int32_t value) { return QString::number(value); }

template <typename T>
T takeFront(std::deque<T>& script, T fallback) {
  if (script.empty()) return fallback;
  T value = script.front();
  script.pop_front();
  return value;
}

}  // namespace

void ScriptedDecoder::record(const QString& name, const QStringList& args) {
  calls << name + "(" + args.join(",") + ")";
}

int ScriptedDecoder::count(const QString& name) const {
  int n = 0;
  for (const QString& call : calls) n += call.startsWith(name + "(");
  return n;
}

void ScriptedDecoder::addTrack(const QString& path, int32_t seconds, int32_t bitRate, int32_t rate,
                               const char* artist) {
  TrackInfo info{};
  std::strncpy(info.artist, artist, sizeof info.artist - 1);
  info.bitRate = bitRate;
  info.samplingRate = rate;
  info.length = seconds;
  tracks[path] = info;
}

int16_t ScriptedDecoder::init() {
  record("init");
  return takeFront(initResults, initResult);
}

void ScriptedDecoder::useAtMarkTag(int32_t on) { record("useAtMarkTag", {number(on)}); }

int16_t ScriptedDecoder::open(const QString& path, TrackInfo& info) {
  record("open", {path});
  // Like the library: the open track closes first, whatever becomes of the new one.
  current = {};
  openPath.clear();
  info = {};
  auto track = tracks.find(path);
  if (track == tracks.end()) return 0;
  info = track->second;
  openPath = path;
  return 1;
}

int16_t ScriptedDecoder::play() {
  record("play");
  if (openPath.isEmpty()) return 0;
  if (current.state == VBMP3_STATE_STOPPED) current = {VBMP3_STATE_PLAYING, 0};
  current.state = VBMP3_STATE_PLAYING;  // a paused track resumes where it is
  return 1;
}

int16_t ScriptedDecoder::stop() {
  record("stop");
  if (openPath.isEmpty()) return 0;
  current = {};
  return 1;
}

int16_t ScriptedDecoder::pause() {
  record("pause");
  if (current.state == VBMP3_STATE_PLAYING) current.state = VBMP3_STATE_PAUSED;
  return current.state == VBMP3_STATE_PAUSED;
}

int16_t ScriptedDecoder::restart() {
  record("restart");
  if (current.state != VBMP3_STATE_PAUSED) return 0;
  current.state = VBMP3_STATE_PLAYING;
  return 1;
}

int16_t ScriptedDecoder::free() {
  record("free");
  current = {};
  openPath.clear();
  return 1;
}

int16_t ScriptedDecoder::seek(int32_t seconds) {
  record("seek", {number(seconds)});
  if (openPath.isEmpty() || current.state == VBMP3_STATE_STOPPED) return 0;
  current.seconds = std::clamp(seconds, 0, tracks[openPath].length);
  return 1;
}

int32_t ScriptedDecoder::getState(int32_t& seconds) {
  record("getState");
  current = takeFront(stateScript, current);
  seconds = current.seconds;
  return current.state;
}

int16_t ScriptedDecoder::getMpegInfo(MpegInfo& info) {
  record("getMpegInfo");
  info = mpegInfo;
  return 1;
}

int16_t ScriptedDecoder::setPitch(int32_t value) {
  record("setPitch", {number(value)});
  pitch = value;
  return 1;
}

int32_t ScriptedDecoder::getPitch() {
  record("getPitch");
  return pitch;
}

int16_t ScriptedDecoder::setVolume(int32_t left, int32_t right) {
  record("setVolume", {number(left), number(right)});
  volumeLeft = left;
  volumeRight = right;
  return 1;
}

int16_t ScriptedDecoder::getVolume(int32_t& left, int32_t& right) {
  record("getVolume");
  left = volumeLeft;
  right = volumeRight;
  return 1;
}

int16_t ScriptedDecoder::setFadeIn(int32_t on) {
  record("setFadeIn", {number(on)});
  return 1;
}

int16_t ScriptedDecoder::setFadeOut(int32_t on) {
  record("setFadeOut", {number(on)});
  return 1;
}

int16_t ScriptedDecoder::setEqualizer(const EqualizerBands& values) {
  QStringList args;
  for (int32_t band : values) args << number(band);
  record("setEqualizer", args);
  bands = values;
  return 1;
}

int16_t ScriptedDecoder::reload() {
  record("reload");
  return 1;
}

int16_t ScriptedDecoder::getWave(WaveBuffer& left, WaveBuffer& right) {
  record("getWave");
  left = waveLeft;
  right = waveRight;
  return 1;
}

int16_t ScriptedDecoder::getGenre(GenreInfo& info) {
  record("getGenre", {number(info.genre)});
  const QByteArray name =
      info.genre >= 0 && info.genre < genreNames.size() ? genreNames[info.genre].toUtf8() : QByteArray();
  std::memset(info.genreName, 0, sizeof info.genreName);
  std::strncpy(info.genreName, name.constData(), sizeof info.genreName - 1);
  return 1;
}

int16_t ScriptedDecoder::getFileTagInfoEX(const QString& path, TagInfo& tag) {
  record("getFileTagInfoEX", {path});
  auto found = tags.find(path);
  if (found == tags.end()) return 0;
  tag = found->second;
  return 1;
}

int16_t ScriptedDecoder::setTagInfoEX(const QString& path, const TagInfo& tag, int32_t v2, int32_t v1) {
  record("setTagInfoEX", {path, number(v2), number(v1)});
  if (setTagResult != 0) tags[path] = tag;
  return setTagResult;
}

int16_t ScriptedDecoder::encodeOpen(const QString& wavPath, EncodeInfo& info) {
  record("encodeOpen", {wavPath});
  auto found = encodable.find(wavPath);
  if (found == encodable.end()) return 0;
  info = found->second;
  return 1;
}

int16_t ScriptedDecoder::encodeStart(const QString& mp3Path) {
  record("encodeStart", {mp3Path});
  return encodeStartResult;
}

int16_t ScriptedDecoder::encodeStop() {
  record("encodeStop");
  return 1;
}

int32_t ScriptedDecoder::getEncodeState() {
  record("getEncodeState");
  return takeFront(encodeStates, encodeState);
}

int16_t ScriptedDecoder::decodeWave(const QString& wavPath) {
  record("decodeWave", {wavPath});
  return decodeResult;
}

int16_t ScriptedDecoder::playDecodeWave(const QString& wavPath) {
  record("playDecodeWave", {wavPath});
  return decodeResult;
}

int32_t ScriptedDecoder::getConversionProgress(int32_t& perMille) {
  record("getConversionProgress");
  progress = takeFront(progressScript, progress);
  perMille = progress.perMille;
  return progress.outcome;
}

int32_t ScriptedDecoder::getVersion() {
  record("getVersion");
  return version;
}

int32_t ScriptedDecoder::getOutput() {
  record("getOutput");
  return output;
}
