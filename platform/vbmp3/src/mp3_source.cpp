// MPEG audio through libmpg123. A stream keeps the sampling rate and channel count of its first
// frame from start to end: libmpg123 mixes or doubles channels itself, and parts at another
// rate (streams joined end to end, or a damaged stretch) go through libsamplerate.
#include "mp3_source.h"

#include <mpg123.h>
#include <samplerate.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "file_descriptor.h"
#include "file_kind.h"

namespace vbmp3 {
namespace {

void initMpg123Once() {
  static std::once_flag once;
  std::call_once(once, [] { mpg123_init(); });
}

// The file from the first frame on, as libmpg123 reads it: each handle keeps its own position,
// so several handles can share the descriptor.
struct FileStream {
  int fd;
  int64_t base;  // where the audio starts
  int64_t size;  // from `base` to the end of the file
  int64_t pos = 0;

  static mpg123_ssize_t read(void* self, void* buffer, size_t bytes) {
    auto* s = static_cast<FileStream*>(self);
    const ssize_t got = ::pread(s->fd, buffer, bytes, s->base + s->pos);
    if (got > 0) s->pos += got;
    return got;
  }
  static off_t seek(void* self, off_t offset, int whence) {
    auto* s = static_cast<FileStream*>(self);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    const int64_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->pos : s->size;
    if (from + offset < 0) return -1;
    s->pos = from + offset;
    return static_cast<off_t>(s->pos);
  }
};

// Also owns the stream the handle reads, which must outlive it.
struct Mpg123Deleter {
  std::unique_ptr<FileStream> stream;
  void operator()(mpg123_handle* h) const {
    mpg123_close(h);
    mpg123_delete(h);
  }
};
using Mpg123Handle = std::unique_ptr<mpg123_handle, Mpg123Deleter>;

void allowChannels(mpg123_handle* mh, int channels) {
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  mpg123_format_none(mh);
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(mh, rates[i], channels, MPG123_ENC_SIGNED_16);
}

// A handle reading `fd` from `start` on, 16-bit output at any rate and channel count.
Mpg123Handle newHandle(int fd, int64_t start) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return nullptr;
  Mpg123Handle handle(mpg123_new(nullptr, nullptr),
                      Mpg123Deleter{std::make_unique<FileStream>(FileStream{fd, start, st.st_size - start})});
  if (!handle) return nullptr;
  mpg123_handle* mh = handle.get();
  mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_SKIP_ID3V2, 0);
  allowChannels(mh, MPG123_MONO | MPG123_STEREO);
  if (mpg123_replace_reader_handle(mh, FileStream::read, FileStream::seek, nullptr) != MPG123_OK ||
      mpg123_open_handle(mh, handle.get_deleter().stream.get()) != MPG123_OK)
    return nullptr;
  return handle;
}

// A new handle whose output keeps the first frame's channel count, at each frame's own rate.
Mpg123Handle openHandle(int fd, int64_t start) {
  Mpg123Handle handle = newHandle(fd, start);
  long rate = 0;
  int channels = 0, encoding = 0;
  if (!handle || mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK) return nullptr;
  allowChannels(handle.get(), channels == 1 ? MPG123_MONO : MPG123_STEREO);
  return handle;
}

// Everything but the length and the average bit rate, which take a scan.
bool describe(mpg123_handle* mh, SourceInfo* info) {
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

// The stream from `native` on (libmpg123's count of decoded samples) is at `rate`, and is
// frame `start` of the output.
struct RatePart {
  int64_t native = 0;
  int64_t start = 0;
  int rate = 0;
};

// What a walk over the frames finds: where the rate changes, and how much audio the frames
// hold (tags and the Xing/LAME frame left out).
struct StreamMap {
  std::vector<RatePart> parts;  // ends with one that marks the end of the stream
  int64_t audioBytes = 0;
  double rawSeconds = 0;  // of every frame in full, before the gapless trim
};

// Walks the frames of a handle that has read none yet. `decodedSamples` is what the scan found to come out,
// which the frames' raw sizes exceed by the gapless trim of the first part (libmpg123 leaves
// the parts after a change of format untrimmed).
std::optional<StreamMap> walkFrames(mpg123_handle* mh, int firstRate, int64_t decodedSamples) {
  StreamMap map;
  std::vector<std::pair<int, int64_t>> runs;  // rate, raw samples
  int rc = MPG123_OK;
  while ((rc = mpg123_framebyframe_next(mh)) == MPG123_OK || rc == MPG123_NEW_FORMAT) {
    mpg123_frameinfo2 frame{};
    if (mpg123_info2(mh, &frame) != MPG123_OK || frame.rate <= 0) break;
    const int spf = mpg123_spf(mh);
    if (runs.empty() || runs.back().first != frame.rate) runs.emplace_back(static_cast<int>(frame.rate), 0);
    runs.back().second += spf;
    map.audioBytes += frame.framesize;
    map.rawSeconds += static_cast<double>(spf) / static_cast<double>(frame.rate);
  }
  if (runs.empty() || runs.front().first != firstRate) return std::nullopt;
  int64_t raw = 0;
  for (const auto& run : runs) raw += run.second;
  runs.front().second = std::max<int64_t>(0, runs.front().second - (raw - decodedSamples));
  RatePart part;
  for (const auto& [rate, samples] : runs) {
    part.rate = rate;
    map.parts.push_back(part);
    part.native += samples;
    part.start += rate == firstRate ? samples : std::llround(static_cast<double>(samples) * firstRate / rate);
  }
  part.rate = 0;
  map.parts.push_back(part);
  return map;
}

struct SrcDeleter {
  void operator()(SRC_STATE* state) const { src_delete(state); }
};

// Brings 16-bit frames at one rate to another, keeping what it made until taken.
class RateConverter {
 public:
  explicit RateConverter(int channels) : channels_(channels) {
    int error = 0;
    state_.reset(src_new(SRC_SINC_MEDIUM_QUALITY, channels, &error));
  }
  bool ok() const { return state_ != nullptr; }

  // Starts on input at another rate; what was made before stays to be taken.
  void restart(double ratio) {
    src_reset(state_.get());
    ratio_ = ratio;
  }
  void clear() {
    pending_.clear();
    taken_ = 0;
  }

  // Converts `frames` frames; `last` drains what the filter still holds.
  void push(const int16_t* in, size_t frames, bool last) {
    input_.resize(frames * channels_);
    src_short_to_float_array(in, input_.data(), static_cast<int>(input_.size()));
    output_.resize((static_cast<size_t>(std::ceil(frames * ratio_)) + 1024) * channels_);
    SRC_DATA data{};
    data.data_in = input_.data();
    data.input_frames = static_cast<long>(frames);
    data.src_ratio = ratio_;
    data.end_of_input = last ? 1 : 0;
    while (true) {
      data.data_out = output_.data();
      data.output_frames = static_cast<long>(output_.size() / channels_);
      if (src_process(state_.get(), &data) != 0) return;
      const size_t made = static_cast<size_t>(data.output_frames_gen) * channels_;
      const size_t at = pending_.size();
      pending_.resize(at + made);
      src_float_to_short_array(output_.data(), pending_.data() + at, static_cast<int>(made));
      data.data_in += data.input_frames_used * channels_;
      data.input_frames -= data.input_frames_used;
      if (data.input_frames == 0 && (!last || data.output_frames_gen == 0)) return;
    }
  }

  size_t take(int16_t* out, size_t frames) {
    const size_t n = std::min(frames, (pending_.size() - taken_) / channels_);
    std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(taken_), n * channels_, out);
    taken_ += n * channels_;
    if (taken_ == pending_.size()) clear();
    return n;
  }

 private:
  const size_t channels_;
  std::unique_ptr<SRC_STATE, SrcDeleter> state_;
  double ratio_ = 1;
  std::vector<float> input_;
  std::vector<float> output_;
  std::vector<int16_t> pending_;
  size_t taken_ = 0;
};

class Mp3Source : public Source {
 public:
  static std::unique_ptr<Source> open(const std::string& path, SourceOpen mode) {
    initMpg123Once();
    FileDescriptor fd(path);
    if (fd.get() < 0) return nullptr;
    const auto start = mpegAudioStart(fd.get());
    if (!start) return nullptr;
    SourceInfo info;
    std::vector<RatePart> parts;
    if (mode == SourceOpen::Scanned) {
      // A full scan counts the frames that are really there, whatever an Xing header claims. It runs
      // on a handle of its own: decoding after a seek can differ in the last bit from decoding a fresh
      // stream, and a fresh stream gives exactly what the mpg123 tool writes.
      Mpg123Handle scanner = openHandle(fd.get(), *start);
      if (!scanner || mpg123_scan(scanner.get()) != MPG123_OK || !describe(scanner.get(), &info))
        return nullptr;
      if (info.frames <= 0 || info.lengthFrames <= 0) return nullptr;
      Mpg123Handle walker = newHandle(fd.get(), *start);
      auto map = walker ? walkFrames(walker.get(), info.rate, info.lengthFrames) : std::nullopt;
      if (!map) return nullptr;
      parts = std::move(map->parts);
      info.lengthFrames = parts.back().start;
      // The average over the audio frames alone: tags would inflate it, most in a short file.
      if (map->rawSeconds > 0)
        info.bitRate = static_cast<int>(std::lround(map->audioBytes * 8 / map->rawSeconds / 1000));
    }
    Mpg123Handle decoder = openHandle(fd.get(), *start);
    if (!decoder) return nullptr;
    if (mode == SourceOpen::Streaming && !describe(decoder.get(), &info)) return nullptr;
    if (parts.empty()) parts = {RatePart{0, 0, info.rate}, RatePart{INT64_MAX, INT64_MAX, 0}};
    auto source = std::unique_ptr<Mp3Source>(new Mp3Source(std::move(fd), std::move(decoder), info, parts));
    if (!source->converter_.ok()) return nullptr;
    return source;
  }

  const SourceInfo& info() const override { return info_; }

  size_t read(int16_t* out, size_t frames) override {
    const size_t channels = static_cast<size_t>(info_.channels);
    size_t filled = 0;
    while (filled < frames) {
      filled += converter_.take(out + filled * channels, frames - filled);
      if (filled == frames || ended_) break;
      if (decodeRate_ == info_.rate) {
        filled += decode(out + filled * channels, frames - filled);
      } else {
        scratch_.resize(kScratchFrames * channels);
        const size_t got = decode(scratch_.data(), kScratchFrames);
        converter_.push(scratch_.data(), got, ended_ || rateChanged_);
      }
      if (rateChanged_) enterRate(newRate_);
    }
    return filled;
  }

  bool seek(int64_t frame) override {
    if (frame < 0 || frame > info_.lengthFrames) return false;
    // The part holding the frame: the last that starts at or before it. libmpg123 places a
    // sample of a later part without the first part's trim, so a seek there can land up to a
    // frame from the target.
    auto part = std::prev(std::upper_bound(parts_.begin(), parts_.end() - 1, frame,
                                           [](int64_t f, const RatePart& p) { return f < p.start; }));
    const int64_t into = frame - part->start;
    const int64_t native =
        part->native +
        (part->rate == info_.rate ? into : std::llround(static_cast<double>(into) * part->rate / info_.rate));
    if (mpg123_seek(handle_.get(), static_cast<off_t>(native), SEEK_SET) < 0) return false;
    ended_ = false;
    converter_.clear();
    enterRate(part->rate);
    return true;
  }

 private:
  static constexpr size_t kScratchFrames = 4096;

  Mp3Source(FileDescriptor fd, Mpg123Handle handle, SourceInfo info, std::vector<RatePart> parts)
      : fd_(std::move(fd)),
        handle_(std::move(handle)),
        info_(std::move(info)),
        parts_(std::move(parts)),
        converter_(info_.channels),
        decodeRate_(info_.rate) {}

  // Decodes at the stream's current rate; notes a change of rate and the end of the stream.
  size_t decode(int16_t* out, size_t frames) {
    const size_t frameBytes = sizeof(int16_t) * static_cast<size_t>(info_.channels);
    size_t done = 0;
    const int rc = mpg123_read(handle_.get(), out, frames * frameBytes, &done);
    rateChanged_ = false;
    if (rc == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0, encoding = 0;
      mpg123_getformat(handle_.get(), &rate, &channels, &encoding);
      rateChanged_ = true;
      newRate_ = static_cast<int>(rate);
    } else if (rc != MPG123_OK || done == 0) {
      ended_ = true;
    }
    return done / frameBytes;
  }

  void enterRate(int rate) {
    rateChanged_ = false;
    decodeRate_ = rate;
    converter_.restart(static_cast<double>(info_.rate) / rate);
  }

  FileDescriptor fd_;  // outlives the handle that reads from it
  Mpg123Handle handle_;
  SourceInfo info_;
  std::vector<RatePart> parts_;  // by output frame, ending with the end of the stream
  RateConverter converter_;
  std::vector<int16_t> scratch_;
  int decodeRate_;
  bool rateChanged_ = false;
  int newRate_ = 0;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<Source> openMp3Source(const std::string& path, SourceOpen mode) {
  return Mp3Source::open(path, mode);
}

}  // namespace vbmp3
