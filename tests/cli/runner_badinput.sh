#!/usr/bin/env bash
# Hostile variants of every shipped sample through the runner: truncated files, values
# replaced by garbage, NaN, +-1e308, huge and negative sizes, other line ends, binary bytes,
# a folder in place of the data or the results file. Every case must end with exit 0, or
# exit 1 with a message; never a crash or a hang; and no file of the package may change
# except the run's own results and check files. The cases are a fixed, deterministic sample.
# Usage: runner_badinput.sh VELTA_RUN SOURCE_DIR [CASES_PER_SAMPLE]
set -u
RUN="$1"; SRC="$2"; PER=${3:-6}
T=$(mktemp -d); trap 'chmod -R u+w "$T"; rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
U="$T/User"
fails=0; cases=0
# The run's own outputs (results and check files of every section) may change.
own='^\./(Results\.[a-z0-9]+|[QB]solv0?\.(srg|srR|diu)|Infor\.diu|Nlist\.diu|Stabl\.diu|Spectr\.stb|Symmetr\.stR|[A-Za-z]+\.chk)$'
snapshot() { (cd "$U" && find . -type f ! -name 'Bad.*' | grep -Ev -i "$own" | sort | xargs -d '\n' md5sum); }
base=$(snapshot)

# run CASE ARGS...: one case; the verdict from its exit, stderr and the files of the package.
run() {
  local name=$1; shift
  cases=$((cases+1))
  timeout -k 5 30 "$RUN" --root "$T" "$@" >"$T/out" 2>"$T/err" </dev/null
  local rc=$?
  if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then echo "FAIL $name: no end within 30 s"; fails=$((fails+1))
  elif [ $rc -ne 0 ] && [ $rc -ne 1 ]; then
    echo "FAIL $name: exit $rc: $(head -c 300 "$T/err" | tr '\n' ' ')"; fails=$((fails+1))
  elif [ $rc -eq 1 ] && ! grep -qE '^(message|note|velta-run|question): ' "$T/err"; then
    echo "FAIL $name: exit 1 without a message"; fails=$((fails+1))
  elif [ "$(snapshot)" != "$base" ]; then
    echo "FAIL $name: files of the package changed: $(diff <(echo "$base") <(snapshot) | grep '^[<>]' | head -3 | tr '\n' ' ')"
    fails=$((fails+1)); base=$(snapshot)
  fi
  return 0
}

# Replacement values, and the deterministic choice of case k of a sample with n lines.
vals=("abc" "NaN" "1e308" "-1e308" "99999999" "-32768" "32767" "-5" "0" "" "1,,2" "1e-308" "inf" "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30")
# mutate SAMPLE K OUT: variant K of a sample (CP1251 CR LF) written to OUT.
mutate() {
  local f=$1 k=$2 out=$3 n
  n=$(wc -l < "$f")
  local line=$(( (k * k * 7919 + k * 104729 + 5) % n + 1 )) v=${vals[$(( (k * 31 + n) % ${#vals[@]} ))]}
  case $(( k % 6 )) in
    0) head -n $(( line - 1 )) "$f" > "$out" ;;                                 # cut before a line
    1|2|3) awk -v L="$line" -v V="$v" 'NR == L { if (index($0, " = ")) sub(/ = .*/, " = " V "\r"); else $0 = V "\r" } { print }' "$f" > "$out" ;;
    4) awk -v L="$line" -v V="$v" 'NR == L { sub(/\r$/, ""); $0 = $0 "," V "\r" } { print }' "$f" > "$out" ;;  # an extra item
    5) if (( k % 12 == 5 )); then tr -d '\r' < "$f" > "$out"; else tr '\n' '\r' < "$f" | tr -s '\r' > "$out"; fi ;;
  esac
}

# section code, sample (relative to User), task folder, answers of the run
while read -r code sample task answers; do
  [ -f "$U/$sample" ] || continue
  ext=${sample##*.}; dir=$(dirname "$sample")
  args=(--section "$code")
  [ "$task" != "-" ] && args+=(--task "$task")
  for a in $answers; do args+=(--answer "$a"); done
  bad="$dir/Bad.$ext"
  for k in $(seq 0 $((PER - 1))); do
    mutate "$U/$sample" "$k" "$U/$bad"
    run "$code $sample #$k" "${args[@]}" --data "Bad.$ext" --seed 1
  done
  rm -f "$U/$bad"
done <<'SAMPLES'
11 Sym_Oscill.mnkd - -
11 Sym_Puan.mnkd - -
12 Mnk/Tau1/Tau1_Oscill.mnzd Tau1 -
21 Kolco5.mtrd - -
21 Puank5.mtrd - -
213 Kolco5.srgd - 1 1,2,2,2,2 END
213 Povorot6.srgd - 1 1,2,2,2,2,2 END
215 Repress3.srRd - -
217 Fold3.diud - YES
22 Mtr/Tau0/Tau0_Oscill.mtzd Tau0 -
3 Cirk3_Repress.stbd - 3
511 Syn1_Oscill.sy1d - -
512 Sy1z/Tau0/Oscill.syzd Tau0 -
521 Syn2_Oscill.sy2d - -
522 Sy2z/Tau0/Oscill.syzd Tau0 -
6 Suz/Tau0/Ring3_Oscill.suzd Tau0 -
7 StaResh5_LL1.stRd - -
8 Logist.gsed - -
9 Chaos_Phase.chad - -
SAMPLES

# Whole-file cases on one sample of each kind of section.
perl -e 'srand(7); print map { chr(int(rand(256))) } 1..3000' > "$T/binary"
for s in "11 mnkd" "213 srgd" "12 mnzd Tau0" "7 stRd"; do
  set -- $s; code=$1; ext=$2; task=${3:-}
  d="$U"; targs=(); [ -n "$task" ] && { d="$U/$(ls -d "$U"/*/"$task" | head -1 | sed "s|$U/||")"; targs=(--task "$task"); }
  cp "$T/binary" "$d/Bad.$ext";  run "$code binary" --section "$code" "${targs[@]}" --data "Bad.$ext"
  : > "$d/Bad.$ext";             run "$code empty" --section "$code" "${targs[@]}" --data "Bad.$ext"
  head -c 1048576 /dev/zero | tr '\0' 'x' > "$d/Bad.$ext"; run "$code 1 MB line" --section "$code" "${targs[@]}" --data "Bad.$ext"
  rm -f "$d/Bad.$ext"; mkdir "$d/Bad.$ext"
  run "$code folder as data file" --section "$code" "${targs[@]}" --data "Bad.$ext"
  rmdir "$d/Bad.$ext"
done
# A folder in place of the results file and of the check file.
for f in Results.mnk Input.chk; do
  rm -f "$U/$f"; mkdir "$U/$f"
  run "folder as $f" --section 11 --data Sym_Oscill.mnkd
  rmdir "$U/$f"
done
# Section 4: its two answers.
for a in "0 1" "100 1" "-1 1" "abc 1" "4 1,2,1" "4 0,0,0,1" "4 1,3,1,3" "4 1e308,1,1,1" "4 NaN,1,1,1" "99 1"; do
  set -- $a; run "4 ndim $1 assign $2" --section 4 --ndim "$1" --assign "$2"
done
# Runner arguments.
run "no such data file" --section 11 --data Missing.mnkd
run "runs 1000 refused size" --section 11 --data Sym_Oscill.mnkd --runs 2

echo "$cases cases, $fails failed"
[ $fails -eq 0 ]
