#include "sdl_library.h"

#include <dlfcn.h>

namespace vbmp3 {

void SdlLibrary::DlClose::operator()(void* handle) const { dlclose(handle); }

std::unique_ptr<SdlLibrary> SdlLibrary::load(const char* fileName) {
  // RTLD_NODELETE keeps SDL mapped once the handle closes: what SDL keeps in its globals
  // (hints, thread-local error texts) stays valid to the end of the process.
  std::unique_ptr<SdlLibrary> library(new SdlLibrary);
  library->handle_.reset(dlopen(fileName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
  void* handle = library->handle_.get();
  if (!handle) return nullptr;
  bool complete = true;
#define VBMP3_SDL_BIND(name)                                                              \
  library->name = reinterpret_cast<decltype(library->name)>(dlsym(handle, "SDL_" #name)); \
  complete = complete && library->name;
  VBMP3_SDL_FUNCTIONS(VBMP3_SDL_BIND)
#undef VBMP3_SDL_BIND
  return complete ? std::move(library) : nullptr;
}

}  // namespace vbmp3
