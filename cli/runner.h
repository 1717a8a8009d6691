// The whole run of velta-run (its command line, outputs, summary and exit code) as a function:
// velta-run's main calls it once; velta-sweep's worker processes call it for one point after
// another, with resetRunnerState() before each run.
#pragma once
#include <string>

namespace velta {

// With `summary` given, the run's --summary JSON is put there instead of in its file (the
// sweep's workers hand it back through their pipe); the file's checks still apply.
int runnerMain(int argc, char** argv, std::string* summary = nullptr);

// Back to the state a fresh process starts in: the store, the run's summary, the data-file
// overrides. Every piece of state a run leaves behind is listed here.
void resetRunnerState();

}  // namespace velta
