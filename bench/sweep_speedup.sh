#!/usr/bin/env bash
# The local pool of velta-sweep on 1 and on 2 processes: a 40 x 40 sweep of the section 1.1
# sample (ALFA 2..40, GAMA 1..4, TMAX = 100: 10^4 steps a point), each way twice, fresh
# tables; prints wall and CPU seconds and the ratio of the medians (jobs=2 / jobs=1), then
# the overhead of a point: CPU a point of the same sweep of one-step points (TMAX = 0.01), and
# last the same points one after another as without velta-sweep: velta-run started for each.
#   bench/sweep_speedup.sh BUILD_DIR [REPEATS] [N]     (N x N points, default 40)
set -eu
BUILD="${1:?usage: bench/sweep_speedup.sh BUILD_DIR [REPEATS] [N]}"
REPEATS="${2:-2}"
N="${3:-40}"
SRC="$(cd "$(dirname "$0")/.." && pwd)"
SWEEP="$BUILD/velta-sweep"
[ -x "$SWEEP" ] || { echo "sweep_speedup.sh: no program $SWEEP" >&2; exit 2; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
cp -r "$SRC/User" "$T/User"

# One sweep on J processes (TMAX: $2, default 100); prints "wall cpu" in seconds (CPU of the
# sweep and its runs).
sweep() {
    rm -rf "$T/out"
    /usr/bin/time -f "%e %U %S" -o "$T/time" "$SWEEP" --root "$T" --section 11 --data Sym_Oscill.mnkd \
        --axis "ALFA=2:40:$N" --axis "GAMA=1:4:$N" --set "TMAX=${2:-100}" --out "$T/out" --jobs "$1" --progress-lines \
        >"$T/log" 2>&1 || { cat "$T/log" >&2; exit 1; }
    awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$T/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
: >"$T/w1"; : >"$T/w2"
echo "velta-sweep ${N}x${N} points, section 1.1, TMAX=100; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((r = 1; r <= REPEATS; r++)); do
    for j in 1 2; do
        read -r wall cpu < <(sweep $j)
        echo "$wall" >>"$T/w$j"
        printf '  jobs=%d  run %d: %7.2f s wall, %7.2f s CPU (%.1f ms a point)\n' "$j" "$r" "$wall" "$cpu" \
            "$(echo "$cpu * 1000 / ($N * $N)" | bc -l)"
    done
done
m1=$(median <"$T/w1") m2=$(median <"$T/w2")
printf 'median wall: jobs=1 %.2f s, jobs=2 %.2f s, ratio %.3f; load after: %s\n' "$m1" "$m2" \
    "$(echo "$m2 / $m1" | bc -l)" "$(cut -d' ' -f1-3 /proc/loadavg)"
# Each pair ran back to back, so its ratio sees the same host speed more nearly than medians do.
printf 'median of the pair ratios: %.3f\n' "$(paste -d' ' "$T/w2" "$T/w1" | awk '{ print $1 / $2 }' | median)"
read -r wall cpu < <(sweep 1 0.01)
printf 'overhead: %.1f ms CPU a point (one-step points, jobs=1, %.2f s wall)\n' \
    "$(echo "$cpu * 1000 / ($N * $N)" | bc -l)" "$wall"
# The same points, velta-run started for each one after another (the same arguments as a point of
# the sweep, without the seed this section does not use), against the median of jobs=2.
mkdir -p "$T/one"; cp -r "$SRC/User" "$T/one/User"
tail -n +2 "$T/out/sweep.csv" | cut -d, -f2,3 >"$T/points"
/usr/bin/time -f "%e %U %S" -o "$T/time" bash -c 'while IFS=, read -r a g; do
    "$1" --root "$2" --section 11 --data Sym_Oscill.mnkd --summary "$2/s.json" --set TMAX=100 \
        --set "ALFA=$a" --set "GAMA=$g" >/dev/null || exit 1
done <"$3"' _ "$BUILD/velta-run" "$T/one" "$T/points"
read -r wall user sys <"$T/time"
printf 'velta-run a point, one after another: %.2f s wall (%d points); jobs=2 median / this %.3f\n' "$wall" \
    "$(wc -l <"$T/points")" "$(echo "$m2 / $wall" | bc -l)"
