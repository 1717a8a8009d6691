#!/usr/bin/env bash
# A full disk (a file size limit, as `ulimit -f`) during every shipped sample of every
# section: the run ends with exit 1 and a message naming the file it could not write, or,
# when every file it wrote stayed under the limit, with exit 0.
# Usage: full_disk.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0
# run RESULTS-EXTENSION ARGS...: the run under a limit of 1 KB (the check file fails
# first) and of 8 KB (mostly the results files).
run() {
  local res=$1; shift
  local kb
  for kb in 1 8; do
    rm -f "$T/User/Results.$res"
    ( ulimit -f $kb; exec "$RUN" --root "$T" "$@" ) >"$T/stdout" 2>"$T/stderr" </dev/null
    local rc=$?
    local what="$* under $kb KB (exit $rc)"
    if [ $rc -eq 1 ] && grep -q "Ошибка записи в файл $T/User/" "$T/stderr"; then
      passes=$((passes+1))
    elif [ $rc -eq 0 ] && [ "$(stat -c %s "$T/User/Results.$res" 2>/dev/null || echo 0)" -lt $((kb*1024)) ]; then
      passes=$((passes+1))
    else
      echo "FAIL: $what: $(tr '\n' ' ' < "$T/stderr" | cut -c1-300)"; fails=$((fails+1))
    fi
  done
}
# shellcheck source=../support/samples.sh
. "$SRC/tests/support/samples.sh"
for_each_sample run
run srg --section 213 --data Kolco5.srgd --answer 1 --answer 1,2,2,2,2 --answer END
run srg --section 213 --data Povorot6.srgd --answer 1 --answer 1,2,2,2,2,2 --answer END
run diu --section 217 --data Fold3.diud --answer YES
run srR --section 215 --data Repress3.srRd --seed 42
run sty --section 4 --ndim 4 --assign 1,2,1,2

# The desktop program beside the runner ignores the file-size signal too, so that a full
# disk is a message in the window, not its end. Told by the signal mask of the running program.
V="$(dirname "$RUN")/velta"
if [ -x "$V" ] && ! (( 0x$(awk '/^SigIgn/{print $2}' /proc/$$/status) & (1 << 24) )); then
  QT_QPA_PLATFORM=offscreen "$V" >/dev/null 2>&1 </dev/null &
  pid=$!; ignored=0
  for _ in $(seq 100); do
    mask=$(awk '/^SigIgn/{print $2}' /proc/$pid/status 2>/dev/null) || break
    [ -n "$mask" ] && (( 0x$mask & (1 << 24) )) && { ignored=1; break; }
    sleep 0.1
  done
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
  if [ $ignored -eq 1 ]; then passes=$((passes+1)); else echo "FAIL: velta does not ignore SIGXFSZ"; fails=$((fails+1)); fi
fi

echo "$passes passed, $fails failed"
[ $fails -eq 0 ] && [ $passes -gt 0 ]
