// Real audio made at test time with the peer tools (sox, lame), in a private temporary folder.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fixtures {

namespace fs = std::filesystem;

// Runs a shell command; returns its exit status.
inline int run(const std::string& command) {
  const int rc = std::system(command.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

// Runs a shell command; returns what it printed on standard output.
inline std::string outputOf(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
    pclose(pipe);
  }
  return out;
}

inline std::string quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A fresh folder under /tmp, removed when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "kestrune-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return (fs::path(path_) / name).string(); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A two-tone signal (so left and right differ) written by sox.
inline bool makeWav(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                    int bits = 16, const std::string& encoding = "signed-integer") {
  // -R: the same dither noise on every run, so the same call makes the same bytes.
  const std::string cmd = "sox -q -R -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                          " -b " + std::to_string(bits) + " -e " + encoding + " " + quote(path) + " synth " +
                          std::to_string(seconds) + " sine 440 sine 660 vol 0.5";
  return run(cmd + " 2>/dev/null") == 0;
}

// Encodes a WAV with lame; args such as "-b 128" or "-V 2".
inline bool makeMp3(const std::string& wav, const std::string& mp3, const std::string& args = "-b 128") {
  return run("lame --quiet " + args + " " + quote(wav) + " " + quote(mp3)) == 0;
}

inline std::vector<char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes the files' bytes one after the other into `path`, as `cat` would.
inline void joinFiles(const std::string& path, const std::vector<std::string>& parts) {
  std::vector<char> all;
  for (const auto& part : parts) {
    const auto bytes = readBytes(part);
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  writeBytes(path, all);
}

}  // namespace fixtures
