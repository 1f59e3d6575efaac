#include "core/vbmp3binding.h"

#include <dlfcn.h>

#include <utility>

// Every library call the program makes, for the symbol table below.
#define VBMP3_CALLS(X)                                                                                      \
  X(init)                                                                                                   \
  X(useAtMarkTag)                                                                                           \
  X(open)                                                                                                   \
  X(play)                                                                                                   \
  X(stop) X(pause) X(restart) X(free) X(seek) X(getState) X(getMpegInfo) X(setPitch) X(getPitch)            \
      X(setVolume) X(getVolume) X(setFadeIn) X(setFadeOut) X(setEqualizer) X(reload) X(getWave) X(getGenre) \
          X(getFileTagInfoEX) X(setTagInfoEX) X(encodeOpen) X(encodeStart) X(encodeStop) X(getEncodeState)  \
              X(decodeWave) X(playDecodeWave) X(getConversionProgress) X(getVersion) X(getOutput)

namespace {

struct DlClose {
  void operator()(void* handle) const { dlclose(handle); }
};

// Calls a bound function, or answers 0 (nothing for void) when it is not bound.
template <typename R, typename... P, typename... A>
R call(R (*fn)(P...), A&&... args) {
  return fn ? fn(std::forward<A>(args)...) : R();
}

}  // namespace

struct LibraryVbmp3::Binding {
  std::unique_ptr<void, DlClose> handle;
#define VBMP3_POINTER(name) decltype(&::vbmp3_##name) name = nullptr;
  VBMP3_CALLS(VBMP3_POINTER)
#undef VBMP3_POINTER
};

// Opens on its own thread; where no thread can be started, at the first call instead.
LibraryVbmp3::LibraryVbmp3(const QString& libraryPath)
    : opening_(std::async(std::launch::async | std::launch::deferred, [file = libraryPath.toUtf8()] {
        return dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
      })) {}

LibraryVbmp3::~LibraryVbmp3() {
  // Never bound: the handle is still in the future.
  if (opening_.valid())
    if (void* handle = opening_.get()) DlClose()(handle);
}

const LibraryVbmp3::Binding& LibraryVbmp3::bound() {
  if (binding_) return *binding_;
  binding_ = std::make_unique<Binding>();
  binding_->handle.reset(opening_.get());
  if (void* lib = binding_->handle.get()) {
#define VBMP3_BIND(name) \
  binding_->name = reinterpret_cast<decltype(Binding::name)>(dlsym(lib, "vbmp3_" #name));
    VBMP3_CALLS(VBMP3_BIND)
#undef VBMP3_BIND
  }
  return *binding_;
}

bool LibraryVbmp3::loaded() { return bound().handle != nullptr; }

int16_t LibraryVbmp3::init() { return call(bound().init); }
void LibraryVbmp3::useAtMarkTag(int32_t on) { call(bound().useAtMarkTag, on); }
int16_t LibraryVbmp3::open(const QString& path, TrackInfo& info) {
  return call(bound().open, path.toUtf8().constData(), &info);
}
int16_t LibraryVbmp3::play() { return call(bound().play); }
int16_t LibraryVbmp3::stop() { return call(bound().stop); }
int16_t LibraryVbmp3::pause() { return call(bound().pause); }
int16_t LibraryVbmp3::restart() { return call(bound().restart); }
int16_t LibraryVbmp3::free() { return call(bound().free); }
int16_t LibraryVbmp3::seek(int32_t seconds) { return call(bound().seek, seconds); }
int32_t LibraryVbmp3::getState(int32_t& seconds) { return call(bound().getState, &seconds); }
int16_t LibraryVbmp3::getMpegInfo(MpegInfo& info) { return call(bound().getMpegInfo, &info); }
int16_t LibraryVbmp3::setPitch(int32_t pitch) { return call(bound().setPitch, pitch); }
int32_t LibraryVbmp3::getPitch() { return call(bound().getPitch); }
int16_t LibraryVbmp3::setVolume(int32_t left, int32_t right) { return call(bound().setVolume, left, right); }
int16_t LibraryVbmp3::getVolume(int32_t& left, int32_t& right) {
  return call(bound().getVolume, &left, &right);
}
int16_t LibraryVbmp3::setFadeIn(int32_t on) { return call(bound().setFadeIn, on); }
int16_t LibraryVbmp3::setFadeOut(int32_t on) { return call(bound().setFadeOut, on); }
int16_t LibraryVbmp3::setEqualizer(const EqualizerBands& bands) {
  return call(bound().setEqualizer, bands.data());
}
int16_t LibraryVbmp3::reload() { return call(bound().reload); }
int16_t LibraryVbmp3::getWave(WaveBuffer& left, WaveBuffer& right) {
  return call(bound().getWave, left.data(), right.data());
}
int16_t LibraryVbmp3::getGenre(GenreInfo& info) { return call(bound().getGenre, &info); }
int16_t LibraryVbmp3::getFileTagInfoEX(const QString& path, TagInfo& tag) {
  return call(bound().getFileTagInfoEX, path.toUtf8().constData(), &tag);
}
int16_t LibraryVbmp3::setTagInfoEX(const QString& path, const TagInfo& tag, int32_t v2, int32_t v1) {
  return call(bound().setTagInfoEX, path.toUtf8().constData(), &tag, v2, v1);
}
int16_t LibraryVbmp3::encodeOpen(const QString& wavPath, EncodeInfo& info) {
  return call(bound().encodeOpen, wavPath.toUtf8().constData(), &info);
}
int16_t LibraryVbmp3::encodeStart(const QString& mp3Path) {
  return call(bound().encodeStart, mp3Path.toUtf8().constData());
}
int16_t LibraryVbmp3::encodeStop() { return call(bound().encodeStop); }
int32_t LibraryVbmp3::getEncodeState() { return call(bound().getEncodeState); }
int32_t LibraryVbmp3::getConversionProgress(int32_t& perMille) {
  perMille = 0;
  return call(bound().getConversionProgress, &perMille);
}
int16_t LibraryVbmp3::decodeWave(const QString& wavPath) {
  return call(bound().decodeWave, wavPath.toUtf8().constData());
}
int16_t LibraryVbmp3::playDecodeWave(const QString& wavPath) {
  return call(bound().playDecodeWave, wavPath.toUtf8().constData());
}
int32_t LibraryVbmp3::getVersion() { return call(bound().getVersion); }
int32_t LibraryVbmp3::getOutput() { return call(bound().getOutput); }
