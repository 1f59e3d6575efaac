#include "jobs.h"

#include <algorithm>
#include <mutex>
#include <thread>

#include "c_api.h"
#include "vbmp3.h"

namespace vbmp3 {

namespace {

class JobRunner {
 public:
  ~JobRunner() { stop(); }

  bool start(JobBody body, int64_t totalFrames) {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    if (worker_.joinable()) worker_.join();  // the last job has finished; reap it
    stopRequested_ = false;
    running_ = true;
    done_ = 0;
    total_ = totalFrames;
    outcome_ = VBMP3_CONVERSION_RUNNING;
    try {
      worker_ = std::thread([this, body = std::move(body)] {
        JobEnd end = JobEnd::Failed;
        try {
          end = body(stopRequested_);
        } catch (...) {
          // A job that fails for want of memory has already cleaned up through RAII.
        }
        // The outcome is final before the job counts as ended.
        outcome_ = end == JobEnd::Done      ? VBMP3_CONVERSION_DONE
                   : end == JobEnd::Stopped ? VBMP3_CONVERSION_STOPPED
                                            : VBMP3_CONVERSION_FAILED;
        running_ = false;
      });
    } catch (...) {  // std::system_error when no thread starts, std::bad_alloc
      running_ = false;
      outcome_ = VBMP3_CONVERSION_NONE;
      return false;
    }
    return true;
  }

  void reportDone(int64_t frames) { done_ = frames; }

  void forget() {
    std::lock_guard lock(mutex_);
    if (!running_) outcome_ = VBMP3_CONVERSION_NONE;
  }

  // The outcome, and the per mille done: of the source while it runs, 1000 once done.
  int32_t progress(int32_t* perMille) const {
    const int32_t outcome = outcome_;
    if (perMille) {
      const int64_t total = total_, done = done_;
      *perMille = outcome == VBMP3_CONVERSION_DONE ? 1000
                  : outcome == VBMP3_CONVERSION_NONE || total <= 0
                      ? 0
                      : static_cast<int32_t>(std::clamp<int64_t>(done * 1000 / total, 0, 1000));
    }
    return outcome;
  }

  bool stop() {
    std::lock_guard lock(mutex_);
    const bool wasRunning = running_;
    stopRequested_ = true;
    if (worker_.joinable()) worker_.join();
    return wasRunning;
  }

  bool running() const { return running_; }

 private:
  std::mutex mutex_;  // guards starting and joining the worker
  std::thread worker_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> running_{false};
  std::atomic<int64_t> done_{0}, total_{0};  // sample frames of the source
  std::atomic<int32_t> outcome_{VBMP3_CONVERSION_NONE};
};

JobRunner& runner() {
  static JobRunner instance;
  return instance;
}

}  // namespace

bool startJob(JobBody body, int64_t totalFrames) { return runner().start(std::move(body), totalFrames); }
void reportJobDone(int64_t frames) { runner().reportDone(frames); }
void forgetLastJob() { runner().forget(); }
bool stopJobs() { return runner().stop(); }
bool jobRunning() { return runner().running(); }

}  // namespace vbmp3

int16_t vbmp3_encodeStop(void) {
  return vbmp3::guardedFlag([] { return vbmp3::stopJobs(); });
}

int32_t vbmp3_getEncodeState(void) { return vbmp3::jobRunning() ? VBMP3_ENCODE_RUNNING : VBMP3_ENCODE_IDLE; }

int32_t vbmp3_getConversionProgress(int32_t* perMille) {
  return vbmp3::guarded<int32_t>(VBMP3_CONVERSION_NONE, [&] { return vbmp3::runner().progress(perMille); });
}
