// SDL2, opened with dlopen when the output device is first needed instead of linked: loading
// this library then does not load SDL2 and the two dozen libraries SDL2 depends on (sound
// servers, X11, Wayland, DRM), which only playback needs. SDL's headers supply the types.
#pragma once

#include <SDL.h>

#include <memory>

namespace vbmp3 {

// Every SDL function the library calls.
// clang-format off
#define VBMP3_SDL_FUNCTIONS(X) \
  X(InitSubSystem) X(QuitSubSystem) X(SetHint) X(SetHintWithPriority) X(GetCurrentAudioDriver) \
  X(OpenAudioDevice) X(CloseAudioDevice) X(PauseAudioDevice) X(LockAudioDevice) X(UnlockAudioDevice)
// clang-format on

class SdlLibrary {
 public:
  static constexpr const char* kFileName = "libSDL2-2.0.so.0";

  // Opens `fileName` and binds every function; null when the file or a function is missing.
  static std::unique_ptr<SdlLibrary> load(const char* fileName);

#define VBMP3_SDL_POINTER(name) decltype(&::SDL_##name) name = nullptr;
  VBMP3_SDL_FUNCTIONS(VBMP3_SDL_POINTER)
#undef VBMP3_SDL_POINTER

 private:
  struct DlClose {
    void operator()(void* handle) const;
  };

  SdlLibrary() = default;

  std::unique_ptr<void, DlClose> handle_;
};

}  // namespace vbmp3
