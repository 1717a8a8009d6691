#!/usr/bin/env bash
# The runner's own guards: no display needed, usage messages, runaway runs refused with the
# estimated size, output paths that would overwrite files of the package refused.
# Usage: runner_guards.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0; passes=0; envs=()
bad() { echo "FAIL: $*"; fails=$((fails+1)); }
# expect RC PATTERN ARGS...: exit status and a stderr line matching PATTERN (grep -E).
expect() {
  local want=$1 pat=$2; shift 2
  env "${envs[@]}" timeout 60 "$RUN" --root "$T" "$@" >"$T/stdout" 2>"$T/stderr" </dev/null
  local rc=$?
  if [ $rc -ne "$want" ]; then bad "$*: exit $rc, expected $want: $(head -c 400 "$T/stderr")"; return; fi
  if [ -n "$pat" ] && ! grep -qE -- "$pat" "$T/stderr"; then bad "$*: no '$pat' in: $(head -c 400 "$T/stderr")"; return; fi
  passes=$((passes+1))
}

# 1. An inherited X11 platform without a display: the runner still draws offscreen.
envs=(-u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
expect 0 "" --section 11 --data Sym_Oscill.mnkd --png "$T/o.png"
[ -s "$T/o.png" ] || bad "QT_QPA_PLATFORM=xcb: no PNG"
envs=()

# 2. Usage errors that say what is missing.
while IFS='|' read -r want pat args; do
  # shellcheck disable=SC2086
  expect "$want" "$pat" $args
done <<'CASES'
2|--section 4 needs --ndim N|--section 4
2|no task folder Tau9 under User/Mnk$|--section 12 --task Tau9
2|--runs needs a number from 1 to 1000|--section 11 --runs 1001
2|--runs needs a number from 1 to 1000|--section 11 --runs 0
1|no answer was given to "Задайте номера компонент|--section 4 --ndim 4
CASES

# 3. A runaway run (TMAX = 2e7, HHH = 0.01) is refused with its size; the old results stay.
iconv -f CP1251 -t UTF-8 "$T/User/Sym_Oscill.mnkd" | sed 's/^TMAX = .*/TMAX = 2e7\r/' |
  iconv -f UTF-8 -t CP1251 > "$T/User/Runaway.mnkd"
printf 'old results\r\n' > "$T/User/Results.mnk"
expect 1 'question: Счёт займёт 2000000001 шагов.*Results\.mnk — около [0-9]+ ГБ.* -> no' --section 11 --data Runaway.mnkd
[ "$(cat "$T/User/Results.mnk")" = $'old results\r' ] || bad "runaway run changed Results.mnk"

# 4. Output paths that are files of the package are refused before anything is written.
before=$(cd "$T/User" && find . -type f -exec md5sum {} + | sort)
while IFS='|' read -r pat out; do
  expect 2 "--png refused: .*$pat" --section 11 --data Sym_Oscill.mnkd --png "$T/$out"
done <<'CASES'
is the data file of the run|User/Sym_Oscill.mnkd
is a results or check file|User/RESULTS.mnk
is a results or check file|User/Input.chk
is a data file of the package|User/Mnk/Tau1/Tau1_Oscill.mnzd
is an angle file|User/../User/Ugly.ugl
Z_Bank folder|User/Z_Bank/new.png
is a folder|User
CASES
expect 2 "--png refused: .*is a data file" --section 4 --ndim 4 --assign 1,2,1,2 --png "$T/User/Kolco5.srgd"
after=$(cd "$T/User" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || bad "a refused output changed files under User: $(diff <(echo "$before") <(echo "$after") | head -5)"
# an ordinary new file under User is fine
expect 0 "" --section 11 --data Sym_Oscill.mnkd --png "$T/User/picture.png"

echo "$passes passed, $fails failed"
[ $fails -eq 0 ]
