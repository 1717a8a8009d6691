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
while read -r code ext res sub; do
  if [ -n "$sub" ]; then
    for f in "$T"/User/"$sub"/Tau*/*."$ext"; do
      [ -f "$f" ] && run "$res" --section "$code" --data "$f" --task "$(basename "$(dirname "$f")")" --runs 2
    done
  else
    for f in "$T"/User/*."$ext"; do
      [ -f "$f" ] && run "$res" --section "$code" --data "$f"
    done
  fi
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
run srg --section 213 --data Kolco5.srgd --answer 1 --answer 1,2,2,2,2 --answer END
run srg --section 213 --data Povorot6.srgd --answer 1 --answer 1,2,2,2,2,2 --answer END
run diu --section 217 --data Fold3.diud --answer YES
run srR --section 215 --data Repress3.srRd --seed 42
run sty --section 4 --ndim 4 --assign 1,2,1,2

echo "$passes passed, $fails failed"
[ $fails -eq 0 ] && [ $passes -gt 0 ]
