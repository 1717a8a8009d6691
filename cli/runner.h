// The whole run of velta-run (its command line, outputs, summary and exit code) as a function:
// velta-run's main calls it, and velta-sweep calls it in a fresh fork for every point. Its
// state is the process's own, so it is called once per process.
#pragma once

namespace velta {

int runnerMain(int argc, char** argv);

}  // namespace velta
