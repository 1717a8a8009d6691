#!/usr/bin/env bash
# Builds the libFuzzer targets of the readers (clang, ASan + UBSan) and runs each one.
#   bash tests/fuzz/run.sh [RUNS] [TARGET...]     RUNS executions per target (default 1000000)
# Environment: VELTA_FUZZ_DIR (build folder, default build-fuzz), FUZZ_SECONDS (time cap per
# target, default 1800).
# New inputs go to build-fuzz/corpus/<target>; with MERGE=1 they are merged into the committed
# corpus tests/fuzz/corpus/<target> (only inputs that add coverage are kept). A crash leaves
# its input as build-fuzz/crash-<target>-*.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-1000000}; shift || true
dir=${VELTA_FUZZ_DIR:-build-fuzz}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(ls tests/fuzz/corpus))
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTA_FUZZ=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target $(printf 'velta_fuzz_%s ' "${targets[@]}")
# A small quarantine and short allocation stacks: the readers allocate per NDIM, and the
# default quarantine makes every run touch fresh pages.
export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16:malloc_context_size=4"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t"
  echo "== $t"
  "$dir/velta_fuzz_$t" "$dir/corpus/$t" "tests/fuzz/corpus/$t" -runs="$runs" \
      -max_total_time="${FUZZ_SECONDS:-1800}" -timeout=10 -rss_limit_mb=4096 -max_len=4096 \
      -artifact_prefix="$dir/crash-$t-" -print_final_stats=1 \
      2>&1 | tee "$dir/fuzz-$t.log" | grep -E '^(#[0-9]+ +DONE|stat::|==[0-9]+==ERROR|SUMMARY|INFO: seed)' || true
  if [ "${MERGE:-0}" = 1 ]; then
    mkdir -p "$dir/merged/$t"
    "$dir/velta_fuzz_$t" -merge=1 -max_len=4096 "$dir/merged/$t" "tests/fuzz/corpus/$t" "$dir/corpus/$t" >/dev/null 2>&1
    rm -f "tests/fuzz/corpus/$t"/*
    cp "$dir/merged/$t"/* "tests/fuzz/corpus/$t/"
  fi
done
