// The open track to a 16-bit PCM WAV, on the job thread.
#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

#include "c_api.h"
#include "decoder.h"
#include "jobs.h"
#include "pending_file.h"
#include "sndfile_handle.h"
#include "vbmp3.h"

namespace vbmp3 {

namespace {

constexpr size_t kChunkFrames = 16384;

// One decode from start to finish. On success (or when stopped early) the WAV lands under
// its target name, otherwise nothing does.
class Decode {
 public:
  Decode(std::unique_ptr<Source> source, std::unique_ptr<PendingFile> out, SndfileHandle wav)
      : source_(std::move(source)), out_(std::move(out)), wav_(std::move(wav)) {}

  JobEnd run(const std::atomic<bool>& stopRequested) {
    if (!decodeAll(stopRequested) || sf_close(wav_.release()) != 0 || !out_->commit()) return JobEnd::Failed;
    return reachedEnd_ ? JobEnd::Done : JobEnd::Stopped;
  }

 private:
  bool decodeAll(const std::atomic<bool>& stopRequested) {
    const size_t channels = static_cast<size_t>(source_->info().channels);
    std::vector<int16_t> pcm(kChunkFrames * channels);
    int64_t done = 0;
    while (!stopRequested) {
      const size_t frames = source_->read(pcm.data(), kChunkFrames);
      if (frames == 0) {
        reachedEnd_ = true;
        return true;
      }
      const auto n = static_cast<sf_count_t>(frames);
      if (sf_writef_short(wav_.get(), pcm.data(), n) != n) return false;
      reportJobDone(done += n);
    }
    return true;
  }

  std::unique_ptr<Source> source_;
  std::unique_ptr<PendingFile> out_;
  bool reachedEnd_ = false;  // the whole source was read, not stopped before
  SndfileHandle wav_;        // declared last so it closes before the pending file is removed
};

// Opens the player's track afresh and starts decoding it to `wavPath`.
bool startDecode(const char* wavPath) {
  forgetLastJob();
  if (!wavPath || jobRunning()) return false;
  const std::string track = openTrackPath();
  if (track.empty()) return false;
  // The player's open already vetted the file; the job needs only its format.
  std::unique_ptr<Source> source = openSource(track, SourceOpen::Streaming);
  if (!source) return false;
  auto out = std::make_unique<PendingFile>(wavPath);
  if (!out->ok()) return false;
  SF_INFO format{};
  format.samplerate = source->info().rate;
  format.channels = source->info().channels;
  format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  // libsndfile closes the descriptor when its open fails, whatever it is told, so it gets
  // the descriptor for good.
  SndfileHandle wav(sf_open_fd(out->releaseFd(), SFM_WRITE, &format, SF_TRUE));
  if (!wav) return false;
  const int64_t frames = source->info().lengthFrames;
  auto decode = std::make_shared<Decode>(std::move(source), std::move(out), std::move(wav));
  return startJob([decode](const std::atomic<bool>& stop) { return decode->run(stop); }, frames);
}

}  // namespace

}  // namespace vbmp3

int16_t vbmp3_decodeWave(const char* wavPath) {
  return vbmp3::guardedFlag([&] { return vbmp3::startDecode(wavPath); });
}

int16_t vbmp3_playDecodeWave(const char* wavPath) {
  if (!vbmp3_decodeWave(wavPath)) return 0;
  return vbmp3_play();
}
