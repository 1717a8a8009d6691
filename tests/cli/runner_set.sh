#!/usr/bin/env bash
# --set and --summary of the runner, one sample per family: the value reaches the reader (its
# echo in Input.chk), the data file on disk stays as it was, the summary holds the run.
# Usage: runner_set.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0
check() { if eval "$1"; then passes=$((passes+1)); else echo "FAIL: $2"; fails=$((fails+1)); fi; }
chk() { iconv -f CP1251 -t UTF-8 "$T/User/Input.chk" | tr -d '\r'; }

# family | runner arguments | echo line expected in Input.chk | text expected in the summary
while IFS='|' read -r fam args echo want; do
  [ -z "$fam" ] && continue
  data=$(sed -n 's/.*--data \([^ ]*\).*/\1/p' <<<"$args")
  before=$(find "$T/User" -name "${data:-none}" -exec md5sum {} \; 2>/dev/null)
  # shellcheck disable=SC2086
  "$RUN" --root "$T" $args --summary "$T/s.json" >"$T/out" 2>"$T/err" </dev/null
  rc=$?
  check "[ $rc -eq 0 ]" "$fam: exit $rc: $(head -c 300 "$T/err")"
  check "chk | grep -qxF '$echo'" "$fam: Input.chk has no line '$echo'"
  check "grep -qF '$want' '$T/s.json'" "$fam: summary lacks '$want': $(head -c 400 "$T/s.json")"
  check "grep -q '\"exit_status\":0' '$T/s.json'" "$fam: summary exit status"
  after=$(find "$T/User" -name "${data:-none}" -exec md5sum {} \; 2>/dev/null)
  check "[ \"$before\" = \"$after\" ]" "$fam: the data file changed on disk"
done <<'CASES'
autonomous|--section 11 --data Sym_Oscill.mnkd --set alfa=25 --set TMAX=20|ALFA = 25|"period":
delay|--section 12 --task Tau1 --set TMAX=30|TMAX = 30|"final_t":29.
continuation|--section 217 --data Fold3.diud --set QMAX=15 --answer YES|QMAX = 15|"stability_changes":
synthesis|--section 521 --data Syn2_Oscill.sy2d --set GAMA2=5|GAMA1,GAMA2 = 4,5|"GAMA2":5
section 3|--section 3 --data Cirk3_Repress.stbd --set GAMA=4|GAMA = 4|"ALFAc":
section 7|--section 7 --data StaResh5_LL1.stRd --set ALmax=20|ALmax = 20|"points":
CASES

# Section 3's critical point moves with GAMA: the summary reports the section's own value.
"$RUN" --root "$T" --section 3 --data Cirk3_Repress.stbd --summary "$T/a.json" >/dev/null 2>&1
"$RUN" --root "$T" --section 3 --data Cirk3_Repress.stbd --set GAMA=4 --summary "$T/b.json" >/dev/null 2>&1
a=$(grep -o '"ALFAc":[^,]*' "$T/a.json"); b=$(grep -o '"ALFAc":[^,]*' "$T/b.json")
check "[ -n '$a' ] && [ '$a' != '$b' ]" "section 3: ALFAc did not follow GAMA ($a / $b)"

# A value the reader refuses: exit 1, the summary carries the reader's message.
"$RUN" --root "$T" --section 11 --data Sym_Oscill.mnkd --set ALFA=abc --summary "$T/s.json" >/dev/null 2>"$T/err"
rc=$?
check "[ $rc -eq 1 ]" "refused value: exit $rc"
check "grep -q '\"exit_status\":1' '$T/s.json' && grep -q 'ожидалось число ALFA, прочитано «abc»' '$T/s.json'" \
  "refused value: summary $(head -c 300 "$T/s.json")"

# An unknown key: a usage error naming it and listing the file's keys; nothing is read.
"$RUN" --root "$T" --section 11 --data Sym_Oscill.mnkd --set FOO=1 >/dev/null 2>"$T/err"
rc=$?
check "[ $rc -eq 2 ] && grep -q 'unknown key FOO; the keys of this data file: MCLASS, NDIM, KMOD, ALFA' '$T/err'" \
  "unknown key: exit $rc: $(head -c 200 "$T/err")"
"$RUN" --root "$T" --section 11 --data Sym_Oscill.mnkd --set 'ALFA=1 2' >/dev/null 2>&1
check "[ $? -eq 2 ]" "a value with a blank is not refused"
# The summary never replaces the data file.
cp "$T/User/Sym_Oscill.mnkd" "$T/keep"
"$RUN" --root "$T" --section 11 --data Sym_Oscill.mnkd --summary "$T/User/Sym_Oscill.mnkd" >/dev/null 2>&1
check "[ $? -eq 2 ] && cmp -s '$T/keep' '$T/User/Sym_Oscill.mnkd'" "--summary over the data file"

echo "runner_set: $passes passed, $fails failed"
[ $fails -eq 0 ]
