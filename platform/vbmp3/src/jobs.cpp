#include "jobs.h"

#include <mutex>
#include <system_error>
#include <thread>

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
    } catch (const std::system_error&) {
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

int16_t vbmp3_encodeStop(void) { return vbmp3::stopJobs() ? 1 : 0; }

int32_t vbmp3_getEncodeState(void) { return vbmp3::jobRunning() ? 1 : 0; }
