#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (Qt windows on the offscreen platform).
#   bash tools/test.sh              the Release build in build/, warnings as errors
#   bash tools/test.sh --sanitize   the core tests, the runner and sweep tests and the fuzz corpora
#                                   with AddressSanitizer and UndefinedBehaviorSanitizer (any report
#                                   fails the test) in build-asan/ (VELTA_ASAN_DIR). The window tests
#                                   are left out to keep CI within 20 minutes on two cores.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
  bash tools/deps.sh
  dir=${VELTA_ASAN_DIR:-build-asan}
  # -O1 keeps the sanitized build and its runs quick enough for CI.
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
        -DVELTA_SANITIZE=ON >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target velta_core_tests velta-run velta-sweep velta_fuzz_replay app_folder
  export ASAN_OPTIONS="abort_on_error=0:detect_stack_use_after_return=0:check_initialization_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Qt and fontconfig keep caches for the life of the process: known leaks, not ours.
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
  # Test programs not built here (the window tests) and the packaging tests are skipped.
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" -E '^(install|help)\.|_NOT_BUILT$'
  exit
fi
# The test build treats every compiler warning as an error (VELTA_WERROR=0 to relax).
VELTA_WERROR=${VELTA_WERROR:-1} bash tools/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
