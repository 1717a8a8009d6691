#!/usr/bin/env bash
# The headless runner on the shipped section 1.1 samples, and its exit codes.
# Usage: runner_sec11.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0
ok()   { passes=$((passes+1)); }
bad()  { echo "FAIL: $*"; fails=$((fails+1)); }
check() { if eval "$1"; then ok; else bad "$2"; fi; }

# 1. Every shipped sample runs to its end and writes the results, the check file and a PNG.
for f in "$SRC"/User/*.mnkd; do
  n=$(basename "$f")
  rm -f "$T/User/Results.mnk" "$T/out.png"
  "$RUN" --root "$T" --section 11 --data "$n" --png "$T/out.png" >"$T/stdout" 2>"$T/stderr"
  rc=$?
  check "[ $rc -eq 0 ]" "$n: exit $rc: $(cat "$T/stderr")"
  check "[ -s '$T/User/Results.mnk' ]" "$n: no Results.mnk"
  check "[ -s '$T/out.png' ]" "$n: no PNG"
  check "grep -q '^results: ' '$T/stdout'" "$n: results path not printed"
  # 18 header lines, then rows that start with the step number 00001.
  row19=$(sed -n '19p' "$T/User/Results.mnk" | tr -d '\r')
  check "[[ '$row19' == 00001* ]]" "$n: row 19 is not the first table row: '$row19'"
  # The check file is Windows-1251 with CR LF.
  first=$(head -1 "$T/User/Input.chk" | iconv -f CP1251 -t UTF-8 | tr -d '\r')
  check "[ '$first' = 'Контроль ввода исходных данных:' ]" "$n: check file first line '$first'"
  ends=$(head -1 "$T/User/Input.chk" | tail -c 2 | od -An -tx1 | tr -d ' ')
  check "[ '$ends' = '0d0a' ]" "$n: check file line does not end in CR LF ($ends)"
done

# 2. Usage errors exit 2.
"$RUN" --root "$T" >/dev/null 2>&1; check "[ $? -eq 2 ]" "missing --section is not a usage error"
"$RUN" --root "$T" --section 10 >/dev/null 2>&1; check "[ $? -eq 2 ]" "unknown section is not a usage error"
"$RUN" --root "$T" --section 11 --bogus >/dev/null 2>&1; check "[ $? -eq 2 ]" "unknown option is not a usage error"

# 3. A broken data file: exit 1, the message names the file and the line.
printf 'a\r\nb\r\nMCLASS = x\r\n' > "$T/User/Broken.mnkd"
"$RUN" --root "$T" --section 11 --data Broken.mnkd >/dev/null 2>"$T/stderr"; rc=$?
check "[ $rc -eq 1 ]" "broken file: exit $rc"
check "grep -q 'message: .*Broken.mnkd.*3' '$T/stderr'" "broken file: message '$(cat "$T/stderr")'"

# 4. A refused value leaves the old results file untouched.
sample=$(ls "$SRC"/User/*.mnkd | head -1)
iconv -f CP1251 -t UTF-8 "$sample" | sed 's/^HHH = .*/HHH = 0\r/' | iconv -f UTF-8 -t CP1251 > "$T/User/ZeroStep.mnkd"
printf 'old results\r\n' > "$T/User/Results.mnk"
"$RUN" --root "$T" --section 11 --data ZeroStep.mnkd >/dev/null 2>"$T/stderr"; rc=$?
check "[ $rc -eq 1 ]" "HHH = 0: exit $rc"
check "grep -q 'HHH' '$T/stderr'" "HHH = 0: message does not name HHH: $(cat "$T/stderr")"
check "[ \"\$(cat '$T/User/Results.mnk')\" = \$'old results\\r' ]" "HHH = 0: old Results.mnk changed"

echo "$passes passed, $fails failed"
[ $fails -eq 0 ]
