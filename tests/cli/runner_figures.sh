#!/usr/bin/env bash
# The plain run is the core alone; pictures and SBML come from velta-run-figures.so. A runner
# without its module, with a broken one or with one of another kind: a message and exit 1
# (never a crash), while the plain run goes on working.
# Usage: runner_figures.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
fails=0
bad() { echo "FAIL: $*"; fails=$((fails+1)); }

libs=$(ldd "$RUN")
if grep -qiE "libQt|libsbml" <<<"$libs"; then bad "velta-run links Qt or libSBML: $(grep -iE 'libQt|libsbml' <<<"$libs" | head -3)"; fi

# The runner copied alone into a folder (it loads the module from its own folder).
mkdir -p "$T/bin"
cp "$RUN" "$T/bin/velta-run"
# case RC PATTERN ARGS...: exit status and a stderr line matching PATTERN.
case_() {
  local want=$1 pat=$2; shift 2
  timeout 60 "$T/bin/velta-run" --root "$T" --section 11 --data Sym_Oscill.mnkd --set TMAX=1 "$@" \
    >"$T/out" 2>"$T/err" </dev/null
  local rc=$?
  [ $rc -eq "$want" ] || { bad "$*: exit $rc, expected $want: $(head -c 300 "$T/err")"; return; }
  [ -z "$pat" ] || grep -qE -- "$pat" "$T/err" || bad "$*: no '$pat' in: $(head -c 300 "$T/err")"
}
for opt in --png --svg --pdf --export-sbml; do
  case_ 1 "^message: pictures and SBML need the module velta-run-figures.so, found neither in $T/bin nor in $T/lib/velta" \
    "$opt" "$T/x.out"
  [ ! -e "$T/x.out" ] || bad "$opt without the module wrote $T/x.out"
done
case_ 0 ""   # the plain run needs no module
grep -q "^results: " "$T/out" || bad "the plain run printed no results line"

printf 'not a module' >"$T/bin/velta-run-figures.so"
case_ 1 "^message: the module $T/bin/velta-run-figures.so cannot be loaded: " --png "$T/x.png"
# A shared object without the entry point.
cp "$(awk '/libgcc_s/ { print $3 }' <<<"$libs")" "$T/bin/velta-run-figures.so"
case_ 1 "^message: the module $T/bin/velta-run-figures.so is not the one of this build" --svg "$T/x.svg"

# The installed layout: bin/velta-run finds lib/velta/velta-run-figures.so.
rm "$T/bin/velta-run-figures.so"
mkdir -p "$T/lib/velta"
cp "$(dirname "$RUN")/velta-run-figures.so" "$T/lib/velta/"
case_ 0 "" --png "$T/x.png" --export-sbml "$T/x.xml"
[ "$(head -c 4 "$T/x.png" | tail -c 3)" = PNG ] || bad "no PNG through lib/velta"
grep -q "<sbml" "$T/x.xml" 2>/dev/null || bad "no SBML through lib/velta"

[ $fails -eq 0 ] && echo "runner_figures: all passed" || { echo "runner_figures: $fails failure(s)"; exit 1; }
