#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (Qt windows on the offscreen platform).
#   bash tools/test.sh              the Release build in build/, warnings as errors
#   bash tools/test.sh --sanitize   the suite with AddressSanitizer and UndefinedBehaviorSanitizer
#                                   (gcc, -fno-sanitize-recover: any report fails its test) in
#                                   build-asan/ (VELTA_ASAN_DIR): the core, window and export tests,
#                                   the runner, sweep and golden runs, the fuzz corpora. Left out:
#                                   the packaging tests (install.*, help.*), which test the
#                                   packaging tools rather than our code.
# CI (.ci/run) runs the format check and both. From a fresh clone without ccache on a loaded
# two-core machine: the suite 1,303 CPU-s, the sanitized suite 1,538 CPU-s (README).
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
  bash tools/deps.sh
  dir=${VELTA_ASAN_DIR:-build-asan}
  # -O1 keeps the sanitized build and its runs quick enough for CI (the test programs
  # themselves are built without optimisation). The window tests read the committed help
  # archive (CHMCMD=OFF): drawing the archive's pictures with a sanitized runner is slow
  # and the archive is built and checked by the Release suite.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
        -DVELTA_SANITIZE=ON -DCHMCMD=OFF >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target velta_core_tests velta_gui_tests velta_export_tests \
        velta-run velta-sweep velta_fuzz_replay app_folder
  export ASAN_OPTIONS="abort_on_error=0:detect_stack_use_after_return=0:check_initialization_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Qt and fontconfig keep caches for the life of the process: known leaks, not ours.
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" -E '^(install|help)\.'
  exit
fi
# The test build treats every compiler warning as an error (VELTA_WERROR=0 to relax).
VELTA_WERROR=${VELTA_WERROR:-1} bash tools/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
