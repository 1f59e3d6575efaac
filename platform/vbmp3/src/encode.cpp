// WAV to MP3 with LAME: 128 kbit/s CBR at the source's rate, on the job thread.
#include <lame/lame.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "c_api.h"
#include "jobs.h"
#include "pending_file.h"
#include "sndfile_handle.h"
#include "vbmp3.h"

namespace vbmp3 {

namespace {

constexpr int kBitRate = 128;
constexpr int kQuality = 3;  // lame's own default for CBR
constexpr sf_count_t kChunkFrames = 8192;

struct LameCloser {
  void operator()(lame_global_flags* gf) const { lame_close(gf); }
};
using LamePtr = std::unique_ptr<lame_global_flags, LameCloser>;

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct WavSource {
  SndfileHandle file;
  SF_INFO info{};
};

// The WAV encodings the encoder reads: integer PCM and float.
bool isPcmOrFloat(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      return true;
    default:
      return false;
  }
}

// Opens a mono or stereo PCM/float WAV with at least one sample frame.
std::optional<WavSource> openWav(const std::string& path) {
  WavSource wav;
  wav.file.reset(sf_open(path.c_str(), SFM_READ, &wav.info));
  if (!wav.file) return std::nullopt;
  sf_command(wav.file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);  // float peaks over 1.0 clip, not wrap
  const int container = wav.info.format & SF_FORMAT_TYPEMASK;
  if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX) return std::nullopt;
  if (!isPcmOrFloat(wav.info.format)) return std::nullopt;
  if (wav.info.channels < 1 || wav.info.channels > 2 || wav.info.frames <= 0) return std::nullopt;
  return wav;
}

bool isMp3Rate(int rate) {
  constexpr std::array kRates{8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  return std::find(kRates.begin(), kRates.end(), rate) != kRates.end();
}

LamePtr makeEncoder(const SF_INFO& info) {
  LamePtr gf(lame_init());
  if (!gf) return nullptr;
  lame_set_in_samplerate(gf.get(), info.samplerate);
  // Left at 0, LAME picks the nearest MP3 rate for sources that have none.
  if (isMp3Rate(info.samplerate)) lame_set_out_samplerate(gf.get(), info.samplerate);
  lame_set_num_channels(gf.get(), info.channels);
  if (info.channels == 1) lame_set_mode(gf.get(), MONO);
  lame_set_num_samples(gf.get(), static_cast<unsigned long>(info.frames));
  lame_set_VBR(gf.get(), vbr_off);
  lame_set_brate(gf.get(), kBitRate);
  lame_set_quality(gf.get(), kQuality);
  lame_set_bWriteVbrTag(gf.get(), 1);    // the Info frame that carries the exact length
  lame_set_findReplayGain(gf.get(), 1);  // as the lame program does: the Info frame carries the gain
  lame_set_write_id3tag_automatic(gf.get(), 0);
  if (lame_init_params(gf.get()) < 0) return nullptr;
  return gf;
}

// One encode from start to finish. Runs on the job thread; on success (or when stopped
// early) the MP3 lands under its target name, otherwise nothing does.
class Encode {
 public:
  Encode(WavSource wav, LamePtr lame, std::unique_ptr<PendingFile> out, FilePtr file)
      : wav_(std::move(wav)), lame_(std::move(lame)), out_(std::move(out)), file_(std::move(file)) {}

  JobEnd run(const std::atomic<bool>& stopRequested) {
    if (!encodeAll(stopRequested) || !finish() || !out_->commit()) return JobEnd::Failed;
    return reachedEnd_ ? JobEnd::Done : JobEnd::Stopped;
  }

 private:
  // Reads the source as full-scale 32-bit integers, as the lame program feeds LAME.
  bool encodeAll(const std::atomic<bool>& stopRequested) {
    const int channels = wav_.info.channels;
    std::vector<int> pcm(static_cast<size_t>(kChunkFrames) * channels);
    mp3_.resize(kChunkFrames * 5 / 4 + 7200);  // LAME's documented worst case
    const int mp3Size = static_cast<int>(mp3_.size());
    int64_t done = 0;
    while (!stopRequested) {
      const sf_count_t frames = sf_readf_int(wav_.file.get(), pcm.data(), kChunkFrames);
      if (frames <= 0) {
        reachedEnd_ = true;
        return sf_error(wav_.file.get()) == SF_ERR_NO_ERROR;
      }
      const int n = static_cast<int>(frames);
      // LAME's interleaved entry point assumes two channels.
      const int bytes =
          channels == 2
              ? lame_encode_buffer_interleaved_int(lame_.get(), pcm.data(), n, mp3_.data(), mp3Size)
              : lame_encode_buffer_int(lame_.get(), pcm.data(), pcm.data(), n, mp3_.data(), mp3Size);
      if (!write(bytes)) return false;
      reportJobDone(done += n);
    }
    return true;
  }

  // Flushes the encoder and rewrites the Info frame at the start with the final counts.
  bool finish() {
    if (!write(lame_encode_flush(lame_.get(), mp3_.data(), static_cast<int>(mp3_.size())))) return false;
    std::array<unsigned char, 2880> tag{};  // the largest MPEG frame
    const size_t tagSize = lame_get_lametag_frame(lame_.get(), tag.data(), tag.size());
    if (tagSize > 0 && tagSize <= tag.size()) {
      if (std::fseek(file_.get(), 0, SEEK_SET) != 0) return false;
      if (std::fwrite(tag.data(), 1, tagSize, file_.get()) != tagSize) return false;
    }
    return std::fclose(file_.release()) == 0;
  }

  bool write(int bytes) {
    if (bytes < 0) return false;
    return std::fwrite(mp3_.data(), 1, static_cast<size_t>(bytes), file_.get()) == static_cast<size_t>(bytes);
  }

  WavSource wav_;
  LamePtr lame_;
  std::unique_ptr<PendingFile> out_;
  bool reachedEnd_ = false;  // the whole source was read, not stopped before
  FilePtr file_;
  std::vector<unsigned char> mp3_;
};

std::mutex openedMutex;
std::string openedWav;  // set by a successful vbmp3_encodeOpen

bool openForEncoding(const char* wavPath, EncodeInfo* info) {
  stopJobs();
  std::lock_guard lock(openedMutex);
  openedWav.clear();
  if (!wavPath) return false;
  const auto wav = openWav(wavPath);
  if (!wav || !makeEncoder(wav->info)) return false;
  openedWav = wavPath;
  if (info) {
    info->samplingRate = wav->info.samplerate;
    info->channels = wav->info.channels;
    info->bitsPerSample = bitsPerSample(wav->info.format);
    info->seconds = static_cast<int32_t>(wav->info.frames / wav->info.samplerate);
  }
  return true;
}

bool startEncode(const char* mp3Path) {
  forgetLastJob();
  std::lock_guard lock(openedMutex);
  if (!mp3Path || openedWav.empty() || jobRunning()) return false;
  auto wav = openWav(openedWav);
  if (!wav) return false;
  LamePtr lame = makeEncoder(wav->info);
  if (!lame) return false;
  auto out = std::make_unique<PendingFile>(mp3Path);
  if (!out->ok()) return false;
  FilePtr file(fdopen(out->fd(), "wb"));
  if (!file) return false;
  out->releaseFd();  // the FILE owns the descriptor now
  setvbuf(file.get(), nullptr, _IOFBF, 1 << 16);
  const int64_t frames = wav->info.frames;
  auto encode = std::make_shared<Encode>(std::move(*wav), std::move(lame), std::move(out), std::move(file));
  return startJob([encode](const std::atomic<bool>& stop) { return encode->run(stop); }, frames);
}

}  // namespace

}  // namespace vbmp3

int16_t vbmp3_encodeOpen(const char* wavPath, EncodeInfo* info) {
  return vbmp3::guardedFlag([&] { return vbmp3::openForEncoding(wavPath, info); });
}

int16_t vbmp3_encodeStart(const char* mp3Path) {
  return vbmp3::guardedFlag([&] { return vbmp3::startEncode(mp3Path); });
}
