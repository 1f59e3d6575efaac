// SDL2 is opened at run time, never linked.
#include "sdl_library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio_fixtures.h"

namespace {

using vbmp3::SdlLibrary;

TEST(SdlLibrary, BindsOnlyALibraryWithEveryFunction) {
  EXPECT_NE(SdlLibrary::load(SdlLibrary::kFileName), nullptr);
  EXPECT_EQ(SdlLibrary::load("libkestrune-absent.so.0"), nullptr);
  // Opens, but has none of the functions.
  EXPECT_EQ(SdlLibrary::load("libc.so.6"), nullptr);
}

TEST(SdlLibrary, LoadingTheBuiltLibraryDoesNotLoadSdl) {
  const char* buildDir = std::getenv("KESTRUNE_BUILD_DIR");
  if (!buildDir) GTEST_SKIP() << "KESTRUNE_BUILD_DIR not set";
  const std::string out =
      fixtures::outputOf("ldd " + fixtures::quote(std::string(buildDir) + "/libvbmp3.so") + " 2>&1");
  ASSERT_NE(out.find("libsndfile"), std::string::npos) << out;
  EXPECT_EQ(out.find("libSDL2"), std::string::npos) << out;
}

}  // namespace
