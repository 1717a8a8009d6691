#!/usr/bin/env bash
# Golden runs: every shipped sample and task folder run through velta-run, with the files
# each run writes kept byte for byte under tests/golden/<code>/<case>/.
#   tools/golden.sh record VELTA_RUN [CASE...]   writes (or rewrites) the expected files
#   tools/golden.sh check  VELTA_RUN CASE_DIR    runs one case and compares byte for byte
# A case folder holds `args` (one runner argument a line; @OUT@ stands for a folder outside
# the application folder) and `expected/`: every file of the application folder the run
# created or changed, plus stdout.txt, stderr.txt and exit.txt with @ROOT@ for the root.
set -u
SRC="$(cd "$(dirname "$0")/.." && pwd)"
GOLDEN="$SRC/tests/golden"

# code  case            arguments
CASES='
11  Sym_Damped     --section 11 --data Sym_Damped.mnkd --png @OUT@/canvas.png
11  Sym_Oscill     --section 11 --data Sym_Oscill.mnkd --png @OUT@/canvas.png
11  Sym_Phase      --section 11 --data Sym_Phase.mnkd --png @OUT@/canvas.png
11  Sym_Puan       --section 11 --data Sym_Puan.mnkd --png @OUT@/canvas.png
21  Kolco5         --section 21 --data Kolco5.mtrd --png @OUT@/canvas.png
21  Puank5         --section 21 --data Puank5.mtrd --png @OUT@/canvas.png
8   Logist         --section 8 --data Logist.gsed --png @OUT@/canvas.png
8   EcoCycle3      --section 8 --data EcoCycle3.gsed --png @OUT@/canvas.png
9   Chaos_Oscill   --section 9 --data Chaos_Oscill.chad --png @OUT@/canvas.png
9   Chaos_Phase    --section 9 --data Chaos_Phase.chad --png @OUT@/canvas.png
9   Chaos_Puan     --section 9 --data Chaos_Puan.chad --png @OUT@/canvas.png
511 Syn1_Oscill    --section 511 --data Syn1_Oscill.sy1d --png @OUT@/canvas.png
511 Syn1_Phase     --section 511 --data Syn1_Phase.sy1d --png @OUT@/canvas.png
521 Syn2_Oscill    --section 521 --data Syn2_Oscill.sy2d --png @OUT@/canvas.png
521 Syn2_Phase     --section 521 --data Syn2_Phase.sy2d --png @OUT@/canvas.png
3   Cirk3_Repress  --section 3 --data Cirk3_Repress.stbd --spectr 3 --png @OUT@/canvas.png
3   Cirk3_Stable   --section 3 --data Cirk3_Stable.stbd --png @OUT@/canvas.png
3   Cirk5_Class2   --section 3 --data Cirk5_Class2.stbd --png @OUT@/canvas.png
7   StaResh5_LL1   --section 7 --data StaResh5_LL1.stRd --png @OUT@/canvas.png
7   StaResh5_LL2   --section 7 --data StaResh5_LL2.stRd --png @OUT@/canvas.png
12  Tau0           --section 12 --task Tau0 --runs 3 --png @OUT@/canvas.png
12  Tau1           --section 12 --task Tau1 --runs 3 --png @OUT@/canvas.png
12  Tau2           --section 12 --task Tau2 --runs 3 --png @OUT@/canvas.png
12  Tau3           --section 12 --task Tau3 --runs 3 --png @OUT@/canvas.png
22  Tau0           --section 22 --task Tau0 --runs 3 --png @OUT@/canvas.png
6   Tau0           --section 6 --task Tau0 --runs 3 --png @OUT@/canvas.png
6   Tau1           --section 6 --task Tau1 --runs 3 --png @OUT@/canvas.png
512 Tau0_Oscill    --section 512 --task Tau0 --data Oscill.syzd --runs 3 --png @OUT@/canvas.png
512 Tau0_Stable    --section 512 --task Tau0 --data Stable.syzd --runs 3 --png @OUT@/canvas.png
522 Tau0_Oscill    --section 522 --task Tau0 --data Oscill.syzd --runs 3 --png @OUT@/canvas.png
522 Tau0_Stable    --section 522 --task Tau0 --data Stable.syzd --runs 3 --png @OUT@/canvas.png
213 Kolco5         --section 213 --data Kolco5.srgd --answer 1 --answer 1,2,2,2,2 --answer END --png @OUT@/canvas.png
213 Povorot6       --section 213 --data Povorot6.srgd --answer 1 --answer 1,2,2,2,2,2 --answer END --png @OUT@/canvas.png
215 Repress3       --section 215 --data Repress3.srRd --seed 42 --png @OUT@/canvas.png
217 Fold3          --section 217 --data Fold3.diud --answer YES --png @OUT@/canvas.png
4   Answers4       --section 4 --answer 4 --answer 1,2,1,2 --png @OUT@/canvas.png
4   NdimAssign3    --section 4 --ndim 3 --assign 1,1,1 --png @OUT@/canvas.png
'

# "path<TAB>checksum" of every file below a folder, in byte order of the paths.
snapshot() {
  (cd "$1" && find . -type f -print0 | xargs -0 md5sum | sed 's/^\([0-9a-f]*\)  \.\/\(.*\)$/\2\t\1/' | LC_ALL=C sort)
}

# Runs one case folder's arguments in a fresh application folder; leaves the outputs in $2.
run_case() {
  local run="$1" out="$2" case_dir="$3"
  local t; t=$(mktemp -d)
  mkdir -p "$t/root" "$t/out" "$out"
  cp -r "$SRC/User" "$t/root/User"
  snapshot "$t/root" > "$t/before"
  local args=()
  while IFS= read -r a; do args+=("${a//@OUT@/$t/out}"); done < "$case_dir/args"
  "$run" --root "$t/root" "${args[@]}" >"$t/stdout" 2>"$t/stderr" </dev/null
  echo $? > "$out/exit.txt"
  snapshot "$t/root" > "$t/after"
  # every file created or changed by the run
  LC_ALL=C comm -13 "$t/before" "$t/after" | cut -f1 | while IFS= read -r f; do
    mkdir -p "$out/$(dirname "$f")"; cp "$t/root/$f" "$out/$f"
  done
  for f in "$t/out"/*; do [ -e "$f" ] && cp "$f" "$out/@OUT@_$(basename "$f")"; done
  sed "s#$t/root#@ROOT@#g; s#$t/out#@OUT@#g" "$t/stdout" > "$out/stdout.txt"
  sed "s#$t/root#@ROOT@#g; s#$t/out#@OUT@#g" "$t/stderr" > "$out/stderr.txt"
  rm -rf "$t"
}

cmd="${1:-}"; run="${2:-}"
case "$cmd" in
record)
  shift 2
  echo "$CASES" | while read -r code name rest; do
    [ -n "$code" ] || continue
    if [ $# -gt 0 ]; then
      hit=0; for c in "$@"; do [ "$c" = "$code/$name" ] && hit=1; done
      [ $hit -eq 1 ] || continue
    fi
    d="$GOLDEN/$code/$name"
    rm -rf "$d"; mkdir -p "$d"
    # shellcheck disable=SC2086
    printf '%s\n' $rest > "$d/args"
    run_case "$run" "$d/expected" "$d"
    echo "recorded $code/$name: exit $(cat "$d/expected/exit.txt"), $(find "$d/expected" -type f | wc -l) files"
  done
  ;;
check)
  d="$3"
  got=$(mktemp -d); trap 'rm -rf "$got"' EXIT
  run_case "$run" "$got" "$d"
  if diff -r "$d/expected" "$got" >"$got.diff" 2>&1; then
    echo "golden $(basename "$(dirname "$d")")/$(basename "$d"): identical ($(find "$d/expected" -type f | wc -l) files)"
    rm -f "$got.diff"; exit 0
  fi
  echo "golden $(basename "$(dirname "$d")")/$(basename "$d"): DIFFERS"
  head -c 4000 "$got.diff"; rm -f "$got.diff"
  exit 1
  ;;
*)
  echo "usage: tools/golden.sh record VELTA_RUN [CODE/CASE...] | check VELTA_RUN CASE_DIR" >&2; exit 2 ;;
esac
