#!/usr/bin/env bash
# CPU time (user + system) per start of velta-run on a run of one step (section 1.1, the
# shipped Sym_Oscill.mnkd with TMAX = 0.01), against /bin/true and against the same run
# saving its canvas as PNG (the module of the pictures loaded). Runs interleave in rounds.
#   bench/startup.sh BUILD_DIR [RUNS]        (RUNS per program, default 100)
# VELTA_RUN overrides the runner (e.g. the one of another build).
set -eu
BUILD="${1:?usage: bench/startup.sh BUILD_DIR [RUNS]}"
RUNS="${2:-100}"
SRC="$(cd "$(dirname "$0")/.." && pwd)"
RUN="${VELTA_RUN:-$BUILD/velta-run}"
[ -x "$RUN" ] || { echo "startup.sh: no program $RUN" >&2; exit 2; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"
ARGS=(--root "$T" --section 11 --data Sym_Oscill.mnkd --set TMAX=0.01)

# Total CPU seconds of N runs of a command, the loop's shell included (the same for all).
cpu() {
    local n=$1; shift
    /usr/bin/time -f "%U %S" -o "$T/time" bash -c 'n=$1; shift; for ((i = 0; i < n; i++)); do "$@" >/dev/null 2>&1; done' _ "$n" "$@"
    awk '{ printf "%.4f", $1 + $2 }' "$T/time"
}
"$RUN" "${ARGS[@]}" >/dev/null 2>&1 || { echo "startup.sh: the run fails" >&2; exit 1; }
rounds=5 per=$(( (RUNS + 4) / 5 ))
t_true=0 t_run=0 t_png=0
for ((r = 0; r < rounds; r++)); do
    t_true=$(echo "$t_true + $(cpu $per /bin/true)" | bc -l)
    t_run=$(echo "$t_run + $(cpu $per "$RUN" "${ARGS[@]}")" | bc -l)
    t_png=$(echo "$t_png + $(cpu $((per / 5 + 1)) "$RUN" "${ARGS[@]}" --png "$T/c.png")" | bc -l)
done
n=$((rounds * per)) np=$((rounds * (per / 5 + 1)))
ms() { printf "%.2f" "$(echo "($1) * 1000 / $2" | bc -l)"; }
printf 'velta-run start-up, CPU per run (user + system), %d runs, load %s\n' "$n" "$(cut -d' ' -f1 /proc/loadavg)"
printf '  /bin/true                 %6s ms\n' "$(ms "$t_true" $n)"
printf '  velta-run, one step       %6s ms   (%s ms above /bin/true)\n' "$(ms "$t_run" $n)" \
    "$(ms "$t_run - $t_true" $n)"
printf '  velta-run, one step, PNG  %6s ms   (%d runs)\n' "$(ms "$t_png" $np)" "$np"
printf '  libraries loaded (ldd): velta-run %d\n' "$(ldd "$RUN" | wc -l)"
