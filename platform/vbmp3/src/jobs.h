// The background conversion job (encode or decode): at most one runs at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace vbmp3 {

// How a job ended: its whole output written, finished early on request (a valid, shorter
// output), or failed (no output).
enum class JobEnd { Done, Stopped, Failed };

// The job's work; it checks `stopRequested` between chunks and, when set, finishes early
// leaving a valid, shorter output. It reports the sample frames done with reportJobDone.
using JobBody = std::function<JobEnd(const std::atomic<bool>& stopRequested)>;

// Starts `body` on the worker thread for a source of `totalFrames`; false when a job is
// already running.
bool startJob(JobBody body, int64_t totalFrames);

// Called by the running job: `frames` of its source are done.
void reportJobDone(int64_t frames);

// Forgets the last job's outcome unless a job runs, so a start that fails leaves
// "none" behind.
void forgetLastJob();

// Asks the running job to finish and waits for it. True when one was running.
// Call it before freeing or replacing anything a job might use.
bool stopJobs();

bool jobRunning();

}  // namespace vbmp3
