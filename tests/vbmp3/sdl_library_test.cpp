// SDL2 is opened at run time, never linked.
#include "sdl_library.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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
  const std::string command = std::string("ldd '") + buildDir + "/libvbmp3.so' 2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  ASSERT_NE(out.find("libsndfile"), std::string::npos) << out;
  EXPECT_EQ(out.find("libSDL2"), std::string::npos) << out;
}

}  // namespace
