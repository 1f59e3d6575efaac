// Start-up benchmark driver: the program's own start (production library binding and
// desktop services, program folder = this executable's folder). As soon as the main window
// has been shown it ends, by default through File > "アプリケーションの終了(&X)" (which saves
// the settings and stops and frees the library); with BENCH_END=window it ends at once,
// which measures start-up alone.
#include "core/app.h"
#include "core/platform.h"
#include "core/startup.h"

int main(int argc, char** argv) {
  const bool startOnly = qEnvironmentVariable("BENCH_END") == "window";
  return RunProgram(argc, argv, [startOnly](App& app) {
    if (startOnly) app.platform.exitProcess(0);
    Form1_mEnd_Click(app);
  });
}
