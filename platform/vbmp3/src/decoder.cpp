#include "decoder.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "file_kind.h"
#include "mp3_source.h"
#include "sndfile_handle.h"

namespace vbmp3 {
namespace {

// The WAV containers libsndfile reads.
bool isAcceptedContainer(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
    case SF_FORMAT_W64:
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
    const Sample sample = subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_DOUBLE ? Sample::Float
                          : bitsPerSample(sfInfo.format) > 16                       ? Sample::Wide
                                                                                    : Sample::Short;
    return std::unique_ptr<Source>(new WaveSource(std::move(file), info, sample));
  }

  const SourceInfo& info() const override { return info_; }

  size_t read(int16_t* out, size_t frames) override {
    const auto count = static_cast<sf_count_t>(frames);
    const size_t samples = frames * info_.channels;
    switch (sample_) {
      case Sample::Short:
        return clampCount(sf_readf_short(file_.get(), out, count));
      case Sample::Wide: {
        // libsndfile cuts wider samples to 16 bits; round them to the nearest instead.
        wide_.resize(samples);
        const size_t got = clampCount(sf_readf_int(file_.get(), wide_.data(), count));
        for (size_t i = 0; i < got * info_.channels; ++i)
          out[i] = static_cast<int16_t>(std::min<int64_t>((int64_t{wide_[i]} + 0x8000) >> 16, 32767));
        return got;
      }
      case Sample::Float: {
        // libsndfile would either truncate float samples to integers or normalise them to a PEAK
        // chunk; read them as floats and scale them here instead.
        scratch_.resize(samples);
        const size_t got = clampCount(sf_readf_float(file_.get(), scratch_.data(), count));
        for (size_t i = 0; i < got * info_.channels; ++i)
          out[i] = static_cast<int16_t>(std::clamp(std::lrint(scratch_[i] * 32768.0f), -32768L, 32767L));
        return got;
      }
    }
    return 0;
  }

  bool seek(int64_t frame) override {
    if (frame < 0 || frame > info_.lengthFrames) return false;
    return sf_seek(file_.get(), frame, SEEK_SET) == frame;
  }

 private:
  enum class Sample { Short, Wide, Float };

  WaveSource(SndfileHandle file, SourceInfo info, Sample sample)
      : file_(std::move(file)), info_(std::move(info)), sample_(sample) {}

  static size_t clampCount(sf_count_t count) { return count > 0 ? static_cast<size_t>(count) : 0; }

  SndfileHandle file_;
  SourceInfo info_;
  Sample sample_;
  std::vector<float> scratch_;
  std::vector<int> wide_;
};

std::mutex openTrackMutex;
std::string openTrack;

}  // namespace

std::unique_ptr<Source> openSource(const std::string& path, SourceOpen mode) {
  // Other for anything but a non-empty regular file: a directory, FIFO or device could fail
  // late or block forever.
  switch (fileKind(path)) {
    case FileKind::Wav:
      return WaveSource::open(path);
    case FileKind::Mpeg:
      return openMp3Source(path, mode);
    case FileKind::Other:
      break;
  }
  return nullptr;
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
