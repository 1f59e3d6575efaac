// The background conversion job (encode or decode): at most one runs at a time.
#pragma once

#include <atomic>
#include <functional>

namespace vbmp3 {

// The job's work; it checks `stopRequested` between chunks and, when set, finishes early
// leaving a valid, shorter output.
using JobBody = std::function<void(const std::atomic<bool>& stopRequested)>;

// Starts `body` on the worker thread; false when a job is already running.
bool startJob(JobBody body);

// Asks the running job to finish and waits for it. True when one was running.
// Call it before freeing or replacing anything a job might use.
bool stopJobs();

bool jobRunning();

}  // namespace vbmp3
