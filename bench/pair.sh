#!/usr/bin/env bash
# Whole-process CPU time (user + system) of velta-run against the plain loops of
# bench/bare on the same cases, run in interleaved pairs; prints the medians and their ratio.
#   bench/pair.sh BUILD_DIR [ROUNDS] [CASE...]
# BUILD_DIR holds velta-run and velta_bare (cmake -DVELTA_BENCH=ON). Cases:
#   ring20   section 1.1, M1(20,3), GAMA = 3, 10^6 steps, NSC = 1000, 3 curves and W
#   ring5    the same at NDIM = 5
#   delay12  section 1.2, task Tau0, NDEL = 400, 4*10^6 steps, NSC = 100, 2 curves
#   delay22  section 2.2, task Tau0, NDEL = 400, 4*10^6 steps, NSC = 100, 2 curves
#   startup  section 1.1, M1(3,2), two steps: the runner's start-up against a bare process
# VELTA_RUN or VELTA_BARE override the programs (e.g. the runner of another build);
# VELTA_PNG=1 has the runner draw the canvas and save it (--png), as the window draws it.
# VELTA_CALLGRIND=1 counts instructions (valgrind --tool=callgrind, one run each) instead of
# timing, on cases ten times shorter: a figure that does not depend on the machine's load.
set -eu
BUILD="${1:?usage: bench/pair.sh BUILD_DIR [ROUNDS] [CASE...]}"
ROUNDS="${2:-5}"
shift $(( $# >= 2 ? 2 : 1 ))
CASES="${*:-ring20 ring5 delay12 delay22 startup}"
RUN="${VELTA_RUN:-$BUILD/velta-run}"
BARE="${VELTA_BARE:-$BUILD/velta_bare}"
for p in "$RUN" "$BARE"; do [ -x "$p" ] || { echo "pair.sh: no program $p" >&2; exit 2; }; done

SCALE=1
[ -n "${VELTA_CALLGRIND:-}" ] && { SCALE=10; ROUNDS=1; }
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
mkdir -p "$T/root/User/Mnk/Tau0" "$T/root/User/Mtr/Tau0"

# Lines into a Windows-1251 CR LF data file.
datafile() { local f="$1"; shift; printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP1251 > "$f"; }

ring() {  # NDIM TMAX file
    local n=$1 z="0" i
    for ((i = 2; i <= n; i++)); do z="$z,0"; done
    local ink="1,5,9" x="3,2,1"
    [ "$n" -lt 9 ] && { ink="1,5"; x="3,2"; }
    [ "$n" -lt 5 ] && { ink="1"; x="3"; }
    datafile "$3" "1. Модель" "-" "MCLASS = 1" "NDIM = $n" "KMOD = $([ "$n" -ge 3 ] && echo 3 || echo 2)" \
        "ALFA = 10" "BETA = 1" "GAMA = 3" "2. Начальные данные" "-" "i1,...:" "$ink" "X(i1),...:" "$x" \
        "3. Плоскость Пуанкаре" "-" "XP(I):" "$z" "FP(I):" "$z" "4. Интегрирование" "-" "TMAX = $2" \
        "HHH = 0.01" "5. Период" "-" "LSCREEN = 1" "TMIN = 1" "6. График" "-" "LGRAPH = 1" \
        "7. Порции" "-" "LSTEP = 0" "8. Компоненты" "-" "IC(I):" "$([ "$n" -ge 3 ] && echo 1,2,3 || echo 1,2)" \
        "9. Таблица" "-" "NSC = 1000" "10. Границы" "-" "Dlx = 0" "Drx = 1" "Dlw = 0" "Drw = 1" "Sclt = 0"
}
ring 20 $((10000 / SCALE)) "$T/root/User/Ring20.mnkd"
ring 5 $((10000 / SCALE)) "$T/root/User/Ring5.mnkd"
ring 3 0.01 "$T/root/User/Start.mnkd"
tail12=("3" "-" "TMAX = $((30000 / SCALE))" "NDEL = 400" "4" "-" "IND = 0" "Z_1 = 0.0001" "5" "-" "IC(I):" "1,2"
        "6" "-" "NSC = 100" "7" "-" "Dlx = 0" "Drx = 0.6" "Sclt = 0")
datafile "$T/root/User/Mnk/Tau0/Pair.mnzd" "1" "-" "MCLASS = 1" "NDIM = 32" "KMOD = 4" "ALFA = 10" \
    "BETA = 1" "GAMA = 3" "2" "-" "MDIM = 2" "LTAU = 3" "PTAU = 3" "TAUm(I):" "0.5,0.75,1" "${tail12[@]}"
tail22=("${tail12[@]}")
tail22[2]="TMAX = $((50000 / SCALE))"
datafile "$T/root/User/Mtr/Tau0/Pair.mtzd" "1" "-" "ALFA = 10" "BETA = 1" "GAMA = 3" "2" "-" "MDIM = 2" \
    "LTAU = 6" "PTAU = 5" "TAUm(I):" "0.1,0.25,0.4,0.55,0.7,1" "${tail22[@]}"

runner_args() {
    case "$1" in
    ring20) echo "--section 11 --data Ring20.mnkd" ;;
    ring5) echo "--section 11 --data Ring5.mnkd" ;;
    delay12) echo "--section 12 --task Tau0 --data Pair.mnzd" ;;
    delay22) echo "--section 22 --task Tau0 --data Pair.mtzd" ;;
    startup) echo "--section 11 --data Start.mnkd" ;;
    esac
}
bare_args() {
    case "$1" in
    ring20) echo "sec11 20 3 10 1 3 $((10000 / SCALE)) 0.01 1000 $T/bare.out" ;;
    ring5) echo "sec11 5 3 10 1 3 $((10000 / SCALE)) 0.01 1000 $T/bare.out" ;;
    delay12) echo "sec12 10 1 3 3 $((30000 / SCALE)) 400 100 $T/bare.out" ;;
    delay22) echo "sec22 10 1 3 5 $((50000 / SCALE)) 400 100 $T/bare.out" ;;
    startup) echo "sec11 3 2 10 1 3 0.01 0.01 1000 $T/bare.out" ;;
    esac
}

# CPU milliseconds (user + system) of one run of the command; a failed run stops the script.
cpu_ms() {
    local TIMEFORMAT='%3U %3S' t
    t=$( { time "$@" >"$T/out.txt" 2>&1; } 2>&1 ) || { echo "pair.sh: failed: $*" >&2; cat "$T/out.txt" >&2; exit 1; }
    awk -v t="$t" 'BEGIN { split(t, a, " "); printf "%.1f\n", 1000 * (a[1] + a[2]) }'
}
# Instructions (millions) of one run under callgrind.
cpu_ir() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" >"$T/out.txt" 2>"$T/cg.txt" ||
        { echo "pair.sh: failed: $*" >&2; cat "$T/out.txt" "$T/cg.txt" >&2; exit 1; }
    awk '/Collected :/ { printf "%.1f\n", $NF / 1e6 }' "$T/cg.txt"
}
[ -n "${VELTA_CALLGRIND:-}" ] && measure=cpu_ir || measure=cpu_ms
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

unit=ms; [ -n "${VELTA_CALLGRIND:-}" ] && unit=MIr
printf '%-8s %6s %12s %12s %8s\n' case rounds "runner $unit" "bare $unit" ratio
for c in $CASES; do
    : > "$T/r.txt"; : > "$T/b.txt"
    for ((r = 1; r <= ROUNDS; r++)); do
        # shellcheck disable=SC2046
        $measure "$RUN" --root "$T/root" $(runner_args "$c") ${VELTA_PNG:+--png "$T/canvas.png"} >> "$T/r.txt"
        # shellcheck disable=SC2046
        $measure "$BARE" $(bare_args "$c") >> "$T/b.txt"
    done
    rm -f "$T/root/User/Input.chk"
    rm -f "$T/root/User"/Results.*
    rm -f "$T/bare.out" "$T/canvas.png"
    rm -f "$T/out.txt"
    mr=$(median < "$T/r.txt"); mb=$(median < "$T/b.txt")
    awk -v c="$c" -v n="$ROUNDS" -v r="$mr" -v b="$mb" \
        'BEGIN { printf "%-8s %6d %12.1f %12.1f %8.2f\n", c, n, r, b, (b > 0 ? r / b : 0) }'
done
