#include "jobs.h"

#include <mutex>
#include <thread>

#include "c_api.h"
#include "vbmp3.h"

namespace vbmp3 {

namespace {

class JobRunner {
 public:
  ~JobRunner() { stop(); }

  bool start(JobBody body) {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    if (worker_.joinable()) worker_.join();  // the last job has finished; reap it
    stopRequested_ = false;
    running_ = true;
    try {
      worker_ = std::thread([this, body = std::move(body)] {
        try {
          body(stopRequested_);
        } catch (...) {
          // A job that fails for want of memory has already cleaned up through RAII.
        }
        running_ = false;
      });
    } catch (...) {  // std::system_error when no thread starts, std::bad_alloc
      running_ = false;
      return false;
    }
    return true;
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
};

JobRunner& runner() {
  static JobRunner instance;
  return instance;
}

}  // namespace

bool startJob(JobBody body) { return runner().start(std::move(body)); }
bool stopJobs() { return runner().stop(); }
bool jobRunning() { return runner().running(); }

}  // namespace vbmp3

int16_t vbmp3_encodeStop(void) {
  return vbmp3::guardedFlag([] { return vbmp3::stopJobs(); });
}

int32_t vbmp3_getEncodeState(void) { return vbmp3::jobRunning() ? VBMP3_ENCODE_RUNNING : VBMP3_ENCODE_IDLE; }
