#include "decoder.h"

#include <fcntl.h>
#include <mpg123.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "sndfile_handle.h"

namespace vbmp3 {
namespace {

// Only regular files are opened: a directory, FIFO or device could fail late or block forever.
bool isRegularFile(const std::string& path, off_t* size) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *size = st.st_size;
  return true;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor& operator=(FileDescriptor&&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Bytes at the start and end of an MP3 file that are tags, not audio.
int64_t tagBytes(int fd, off_t fileSize) {
  int64_t bytes = 0;
  unsigned char head[10];
  if (::pread(fd, head, sizeof head, 0) == 10 && std::memcmp(head, "ID3", 3) == 0) {
    const int64_t body =
        (head[6] & 0x7f) << 21 | (head[7] & 0x7f) << 14 | (head[8] & 0x7f) << 7 | (head[9] & 0x7f);
    bytes += 10 + body + ((head[5] & 0x10) ? 10 : 0);
  }
  char tail[3];
  if (fileSize >= 128 && ::pread(fd, tail, 3, fileSize - 128) == 3 && std::memcmp(tail, "TAG", 3) == 0)
    bytes += 128;
  return bytes;
}

void initMpg123Once() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

struct Mpg123Deleter {
  void operator()(mpg123_handle* h) const {
    mpg123_close(h);
    mpg123_delete(h);
  }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, Mpg123Deleter>;

class Mp3Source : public Source {
 public:
  static std::unique_ptr<Source> open(const std::string& path, off_t fileSize, SourceOpen mode) {
    initMpg123Once();
    FileDescriptor fd(path);
    if (fd.get() < 0) return nullptr;
    SourceInfo info;
    if (mode == SourceOpen::Scanned) {
      // A full scan counts the frames that are really there, whatever an Xing header claims. It runs
      // on a handle of its own: decoding after a seek can differ in the last bit from decoding a fresh
      // stream, and a fresh stream gives exactly what the mpg123 tool writes.
      {
        Mpg123Handle scanner = openHandle(fd.get());
        if (!scanner || mpg123_scan(scanner.get()) != MPG123_OK || !describe(scanner.get(), &info))
          return nullptr;
      }
      if (info.frames <= 0 || info.lengthFrames <= 0) return nullptr;
      if (info.bitRate == 0) {
        const double seconds = static_cast<double>(info.lengthFrames) / info.rate;
        const double audioBytes = static_cast<double>(fileSize - tagBytes(fd.get(), fileSize));
        info.bitRate = static_cast<int>(std::lround(audioBytes * 8 / seconds / 1000));
      }
      if (::lseek(fd.get(), 0, SEEK_SET) != 0) return nullptr;
    }
    Mpg123Handle decoder = openHandle(fd.get());
    if (!decoder) return nullptr;
    if (mode == SourceOpen::Streaming && !describe(decoder.get(), &info)) return nullptr;
    return std::unique_ptr<Source>(new Mp3Source(std::move(fd), std::move(decoder), info));
  }

  const SourceInfo& info() const override { return info_; }

  size_t read(int16_t* out, size_t frames) override {
    const size_t frameBytes = sizeof(int16_t) * info_.channels;
    auto* bytes = reinterpret_cast<unsigned char*>(out);
    size_t filled = 0;
    while (filled < frames * frameBytes) {
      size_t done = 0;
      const int rc = mpg123_read(handle_.get(), bytes + filled, frames * frameBytes - filled, &done);
      filled += done;
      if (rc == MPG123_NEW_FORMAT) continue;  // format is pinned; the data stays as it was
      if (rc != MPG123_OK || done == 0) break;
    }
    return filled / frameBytes;
  }

  bool seek(int64_t frame) override {
    if (frame < 0 || frame > info_.lengthFrames) return false;
    return mpg123_seek(handle_.get(), static_cast<off_t>(frame), SEEK_SET) >= 0;
  }

 private:
  // A handle reading `fd` from its current offset, with the output pinned to 16-bit at the
  // stream's own rate and channel count.
  static Mpg123Handle openHandle(int fd) {
    Mpg123Handle handle(mpg123_new(nullptr, nullptr));
    if (!handle) return nullptr;
    mpg123_handle* mh = handle.get();
    mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_NO_FRANKENSTEIN | MPG123_SKIP_ID3V2,
                 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
      mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_fd(mh, fd) != MPG123_OK) return nullptr;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK) return nullptr;
    // Pinned, so a stray frame later in the file cannot change the format.
    mpg123_format_none(mh);
    mpg123_format(mh, rate, channels, MPG123_ENC_SIGNED_16);
    return handle;
  }

  // Fills everything but an average bit rate for VBR streams, which stays 0.
  static bool describe(mpg123_handle* mh, SourceInfo* info) {
    long rate = 0;
    int channels = 0, encoding = 0;
    mpg123_frameinfo2 frameInfo{};
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK ||
        mpg123_info2(mh, &frameInfo) != MPG123_OK)
      return false;
    info->rate = static_cast<int>(rate);
    info->channels = channels;
    info->lengthFrames = mpg123_length(mh);
    info->frames = mpg123_framelength(mh);
    info->mpegVersion = static_cast<int>(frameInfo.version) + 1;
    info->layer = frameInfo.layer;
    info->bitRate = frameInfo.vbr == MPG123_CBR ? frameInfo.bitrate : 0;
    return true;
  }

  Mp3Source(FileDescriptor fd, Mpg123Handle handle, SourceInfo info)
      : fd_(std::move(fd)), handle_(std::move(handle)), info_(std::move(info)) {}

  FileDescriptor fd_;  // outlives the handle that reads from it
  Mpg123Handle handle_;
  SourceInfo info_;
};

// Whether the file starts like a RIFF/RF64/W64 WAV, an AIFF or an AU file. Anything else is kept
// away from libsndfile, which would also try to parse MPEG streams on its own.
bool hasPcmContainerMagic(const std::string& path) {
  FileDescriptor fd(path);
  char magic[4];
  if (fd.get() < 0 || ::pread(fd.get(), magic, 4, 0) != 4) return false;
  for (const char* known : {"RIFF", "RIFX", "RF64", "riff", "FORM", ".snd", "dns."})
    if (std::memcmp(magic, known, 4) == 0) return true;
  return false;
}

// Containers of uncompressed or simply coded PCM that libsndfile reads.
bool isAcceptedContainer(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_W64:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_AU:
      return true;
    default:
      return false;
  }
}

class WaveSource : public Source {
 public:
  static std::unique_ptr<Source> open(const std::string& path) {
    SF_INFO sfInfo{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &sfInfo));
    if (!file || !isAcceptedContainer(sfInfo.format)) return nullptr;
    if (sfInfo.channels < 1 || sfInfo.channels > 2 || sfInfo.samplerate <= 0 || sfInfo.frames <= 0)
      return nullptr;

    SourceInfo info;
    info.rate = sfInfo.samplerate;
    info.channels = sfInfo.channels;
    info.lengthFrames = sfInfo.frames;
    info.frames = sfInfo.frames;
    info.bitRate = static_cast<int>(static_cast<int64_t>(sfInfo.samplerate) * bitsPerSample(sfInfo.format) *
                                    sfInfo.channels / 1000);
    const int subtype = sfInfo.format & SF_FORMAT_SUBMASK;
    const bool isFloat = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE;
    return std::unique_ptr<Source>(new WaveSource(std::move(file), info, isFloat));
  }

  const SourceInfo& info() const override { return info_; }

  size_t read(int16_t* out, size_t frames) override {
    if (!isFloat_) return clampCount(sf_readf_short(file_.get(), out, static_cast<sf_count_t>(frames)));
    // libsndfile would either truncate float samples to integers or normalise them to a PEAK
    // chunk; read them as floats and scale them here instead.
    scratch_.resize(frames * info_.channels);
    const size_t got =
        clampCount(sf_readf_float(file_.get(), scratch_.data(), static_cast<sf_count_t>(frames)));
    for (size_t i = 0; i < got * info_.channels; ++i)
      out[i] = static_cast<int16_t>(std::clamp(std::lrint(scratch_[i] * 32768.0f), -32768L, 32767L));
    return got;
  }

  bool seek(int64_t frame) override {
    if (frame < 0 || frame > info_.lengthFrames) return false;
    return sf_seek(file_.get(), frame, SEEK_SET) == frame;
  }

 private:
  WaveSource(SndfileHandle file, SourceInfo info, bool isFloat)
      : file_(std::move(file)), info_(std::move(info)), isFloat_(isFloat) {}

  static size_t clampCount(sf_count_t count) { return count > 0 ? static_cast<size_t>(count) : 0; }

  SndfileHandle file_;
  SourceInfo info_;
  bool isFloat_;
  std::vector<float> scratch_;
};

std::mutex openTrackMutex;
std::string openTrack;

}  // namespace

std::unique_ptr<Source> openSource(const std::string& path, SourceOpen mode) {
  off_t size = 0;
  if (!isRegularFile(path, &size) || size == 0) return nullptr;
  if (hasPcmContainerMagic(path)) return WaveSource::open(path);
  return Mp3Source::open(path, size, mode);
}

std::string openTrackPath() {
  std::lock_guard lock(openTrackMutex);
  return openTrack;
}

void setOpenTrackPath(const std::string& path) {
  std::lock_guard lock(openTrackMutex);
  openTrack = path;
}

}  // namespace vbmp3
