#!/usr/bin/env bash
# Every shipped sample of every built section runs through the headless runner to its end
# and writes its results file. Usage: runner_samples.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0; skipped=0
# section code, data extension, results extension, subfolder of the task folders
while read -r code ext res sub; do
  if [ -n "$sub" ]; then
    files=$(ls "$T"/User/"$sub"/Tau*/*."$ext" 2>/dev/null)
  else
    files=$(ls "$T"/User/*."$ext" 2>/dev/null)
  fi
  for f in $files; do
    rm -f "$T/User/Results.$res"
    args=(--root "$T" --section "$code" --data "$f")
    if [ -n "$sub" ]; then
      task=$(basename "$(dirname "$f")")
      args+=(--task "$task" --runs 2)
    fi
    "$RUN" "${args[@]}" --png "$T/out.png" >"$T/stdout" 2>"$T/stderr" </dev/null
    rc=$?
    if [ $rc -eq 2 ] && grep -q "не реализован" "$T/stderr"; then skipped=$((skipped+1)); continue; fi
    if [ $rc -ne 0 ]; then
      echo "FAIL: section $code $(basename "$f"): exit $rc: $(tr '\n' ' ' < "$T/stderr")"; fails=$((fails+1)); continue
    fi
    if [ ! -s "$T/User/Results.$res" ] || [ ! -s "$T/out.png" ]; then
      echo "FAIL: section $code $(basename "$f"): no Results.$res or PNG"; fails=$((fails+1)); continue
    fi
    passes=$((passes+1))
  done
done <<'LIST'
11 mnkd mnk
21 mtrd mtr
8 gsed gse
9 chad cha
511 sy1d sy1
521 sy2d sy2
3 stbd stb
7 stRd stR
22 mtzd mtz Mtr
12 mnzd mnz Mnk
6 suzd suz Suz
512 syzd s1z Sy1z
522 syzd s2z Sy2z
LIST
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
