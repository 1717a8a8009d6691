#!/usr/bin/env bash
# Every shipped sample of every built section runs through the headless runner to its end
# and writes its results file. Usage: runner_samples.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0; skipped=0
# sample RESULTS-EXTENSION ARGS...: the run to its end, its results file and its picture.
sample() {
  local res=$1; shift
  rm -f "$T/User/Results.$res" "$T/out.png"
  "$RUN" --root "$T" "$@" --png "$T/out.png" >"$T/stdout" 2>"$T/stderr" </dev/null
  local rc=$?
  if [ $rc -eq 2 ] && grep -q "не реализован" "$T/stderr"; then skipped=$((skipped+1)); return 0; fi
  if [ $rc -ne 0 ]; then
    echo "FAIL: $*: exit $rc: $(tr '\n' ' ' < "$T/stderr")"; fails=$((fails+1)); return 0
  fi
  if [ ! -s "$T/User/Results.$res" ] || [ ! -s "$T/out.png" ]; then
    echo "FAIL: $*: no Results.$res or PNG"; fails=$((fails+1)); return 0
  fi
  passes=$((passes+1))
}
# shellcheck source=../support/samples.sh
. "$SRC/tests/support/samples.sh"
for_each_sample sample
# The stationary sections ask their questions in order: section code, sample, results
# extension, then the answers.
stationary() {
  local code=$1 file=$2 res=$3; shift 3
  [ "$file" = "-" ] || [ -f "$T/User/$file" ] || return 0
  local args=(--root "$T" --section "$code" --png "$T/out.png" --seed 42)
  [ "$file" = "-" ] || args+=(--data "$file")
  # shellcheck disable=SC2206
  [ -n "${STATIONARY_OPTS:-}" ] && args+=($STATIONARY_OPTS)
  for a in "$@"; do args+=(--answer "$a"); done
  rm -f "$T/User/Results.$res"
  "$RUN" "${args[@]}" >"$T/stdout" 2>"$T/stderr" </dev/null
  local rc=$?
  if [ $rc -eq 2 ] && grep -q "не реализован" "$T/stderr"; then skipped=$((skipped+1)); return 0; fi
  if [ $rc -ne 0 ] || [ ! -s "$T/User/Results.$res" ]; then
    echo "FAIL: section $code $file: exit $rc: $(tr '\n' ' ' < "$T/stderr")"; fails=$((fails+1)); return 0
  fi
  passes=$((passes+1))
}
stationary 213 Kolco5.srgd srg 1 1,2,2,2,2 END
stationary 213 Povorot6.srgd srg 1 1,2,2,2,2,2 END
stationary 217 Fold3.diud diu YES
stationary 4 - sty 4 1,2,1,2
# the same through the options of the runner contract
STATIONARY_OPTS="--ndim 3 --assign 1,1,1" stationary 4 - sty
stationary 215 Repress3.srRd srR

echo "$passes passed, $fails failed, $skipped skipped"
[ $fails -eq 0 ] && [ $passes -gt 0 ]
