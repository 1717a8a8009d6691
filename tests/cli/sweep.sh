#!/usr/bin/env bash
# velta-sweep: the table and pictures of the local pool, the same table from GNU parallel,
# from velta-run started for every point (--runner) and from 1 or 4 processes, resuming,
# stopping, and bad input (no points, unknown key, refused values, a killed run, a full
# disk, a foreign table, Slurm not reachable).
# Usage: sweep.sh VELTA_RUN SOURCE_DIR   (velta-sweep is beside velta-run)
set -u
RUN="$1"; SRC="$2"; SWEEP="$(dirname "$RUN")/velta-sweep"
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
mkdir -p "$T/app/User" "$T/all"; cp "$SRC/User/Sym_Oscill.mnkd" "$T/app/User/"; cp -r "$SRC/User" "$T/all/"
fails=0; passes=0
check() { if eval "$1"; then passes=$((passes+1)); else echo "FAIL: $2"; fails=$((fails+1)); fi; }
sweep() { "$SWEEP" --root "$T/app" --section 11 --data Sym_Oscill.mnkd --tmp "$T" "$@"; }
col() { head -1 "$1" | tr ',' '\n' | grep -nx "$2" | cut -d: -f1; }  # column number of a field

# 1. Local pool: one row per point, in point order, pictures in PNG and SVG.
sweep --axis ALFA=10,20,30 --axis GAMA=1,3 --out "$T/local" >"$T/out" 2>"$T/err"
rc=$?
check "[ $rc -eq 0 ]" "local: exit $rc: $(tail -3 "$T/err")"
check "[ \$(wc -l < '$T/local/sweep.csv') -eq 7 ]" "local: not 6 rows"
check "[ \"\$(cut -d, -f1-3 '$T/local/sweep.csv' | tr '\n' ' ')\" = 'point,ALFA,GAMA 0,10,1 1,10,3 2,20,1 3,20,3 4,30,1 5,30,3 ' ]" \
  "local: points and values: $(cut -d, -f1-3 "$T/local/sweep.csv" | tr '\n' ' ')"
p=$(col "$T/local/sweep.csv" period)
check "[ -n \"\$(sed -n 3p '$T/local/sweep.csv' | cut -d, -f$p)\" ]" "local: ALFA=10 GAMA=3 has no period"
check "head -c 8 '$T/local/sweep.png' | od -An -c | grep -q 'P   N   G'" "local: sweep.png is not a PNG"
check "grep -q '<svg' '$T/local/sweep.svg'" "local: sweep.svg is not SVG"

# 2. GNU parallel (one job per point) gives the very same table.
sweep --axis ALFA=10,20,30 --axis GAMA=1,3 --out "$T/par" --engine parallel --jobs 2 --chunk-size 1 >"$T/out" 2>"$T/err"
rc=$?
check "[ $rc -eq 0 ] && cmp -s '$T/local/sweep.csv' '$T/par/sweep.csv'" "parallel: exit $rc or another table: $(tail -3 "$T/err")"
check "[ \$(wc -l < '$T/par/jobs.txt') -eq 6 ]" "parallel: not 6 jobs in the job list"
# The points run in worker processes; velta-run started for each point, and other pool sizes,
# give the same table byte for byte.
for j in 1 4; do
  sweep --axis ALFA=10,20,30 --axis GAMA=1,3 --out "$T/exec$j" --runner "$RUN" --jobs $j >/dev/null 2>"$T/err"
  check "cmp -s '$T/local/sweep.csv' '$T/exec$j/sweep.csv'" "velta-run per point, $j job(s): another table: $(tail -2 "$T/err")"
  sweep --axis ALFA=10,20,30 --axis GAMA=1,3 --out "$T/fork$j" --jobs $j >/dev/null 2>"$T/err"
  check "cmp -s '$T/local/sweep.csv' '$T/fork$j/sweep.csv'" "$j job(s): another table: $(tail -2 "$T/err")"
done

# Every family: one worker runs the points one after another, reset between them; velta-run
# started for each point gives the same table (state left by a point would show here).
while read -r code data task axis; do
  opt=(--root "$T/all" --section "$code" --data "$data" --tmp "$T" --axis "$axis" --jobs 1)
  [ "$task" != - ] && opt+=(--task "$task")
  "$SWEEP" "${opt[@]}" --out "$T/w$code" >/dev/null 2>"$T/err"
  "$SWEEP" "${opt[@]}" --out "$T/e$code" --runner "$RUN" >/dev/null 2>>"$T/err"
  check "[ -s '$T/w$code/sweep.csv' ] && cmp -s '$T/w$code/sweep.csv' '$T/e$code/sweep.csv'" \
    "section $code: the worker's table is not velta-run's: $(tail -2 "$T/err")"
done <<CASES
21 Kolco5.mtrd - GAMA=1,2,3
8 Logist.gsed - ALFA=1,2,3
9 Chaos_Oscill.chad - ALFA=5,10,20
12 Tau0_Oscill.mnzd Tau0 ALFA=5,10,20
6 Ring3_Oscill.suzd Tau0 TETA=0.5,1,2
512 Oscill.syzd Tau0 ALFA=5,10,20
3 Cirk3_Stable.stbd - GAMA=1,2,3
7 StaResh5_LL1.stRd - GAMA=1,2,3
213 Kolco5.srgd - ALFA=5,10,20
215 Repress3.srRd - ALFA=5,10,20
217 Fold3.diud - ALFA=5,10,20
511 Syn1_Oscill.sy1d - ALFA=5,10,20
CASES

# 3. Resume: lost rows and a row cut in the middle are run again; the rest is kept.
cp "$T/local/sweep.csv" "$T/full.csv"
head -4 "$T/full.csv" > "$T/local/sweep.csv"; printf '5,30' >> "$T/local/sweep.csv"
sweep --axis ALFA=10,20,30 --axis GAMA=1,3 --out "$T/local" >"$T/out" 2>"$T/err"
check "grep -q '3 already in' '$T/err' && cmp -s '$T/full.csv' '$T/local/sweep.csv'" "resume: $(head -2 "$T/err")"

# 4. A table of another sweep is refused and left as it was.
sweep --axis ALFA=10,20 --out "$T/local" >"$T/out" 2>"$T/err"
rc=$?
check "[ $rc -eq 1 ] && grep -q 'holds the table of another sweep' '$T/err' && cmp -s '$T/full.csv' '$T/local/sweep.csv'" \
  "foreign table: exit $rc: $(cat "$T/err")"

# 5. Usage errors: an axis without points, an unknown key, an unknown field.
sweep --axis ALFA=1:2:0 --out "$T/x" >/dev/null 2>"$T/err"
check "[ $? -eq 2 ] && grep -q 'has no points' '$T/err'" "no points: $(head -1 "$T/err")"
sweep --axis FOO=1,2 --out "$T/x" >/dev/null 2>"$T/err"
check "[ $? -eq 2 ] && grep -q 'unknown key FOO; the keys of this data file: MCLASS' '$T/err'" "unknown key: $(head -1 "$T/err")"
check "[ ! -e '$T/x/sweep.csv' ]" "usage errors wrote a table"

# 6. A refused value and a killed run are recorded as failed with their message; the rest runs.
cat > "$T/killer" <<KILL
#!/usr/bin/env bash
case " \$* " in *" ALFA=15 "*) kill -9 \$\$ ;; esac
exec "$RUN" "\$@"
KILL
chmod +x "$T/killer"
"$SWEEP" --root "$T/app" --section 11 --data Sym_Oscill.mnkd --runner "$T/killer" --tmp "$T" \
  --axis ALFA=abc,15,20 --out "$T/bad" >"$T/out" 2>"$T/err"
rc=$?
s=$(col "$T/bad/sweep.csv" exit_status); m=$(col "$T/bad/sweep.csv" message)
check "[ $rc -eq 0 ] && grep -q '3 of 3 points, 2 failed' '$T/out'" "failed points: exit $rc: $(cat "$T/out" "$T/err" | tail -3)"
check "sed -n 2p '$T/bad/sweep.csv' | grep -q 'ожидалось число ALFA, прочитано «abc»'" "refused value: $(sed -n 2p "$T/bad/sweep.csv" | cut -c1-200)"
check "sed -n 3p '$T/bad/sweep.csv' | grep -q 'ended by signal 9'" "killed run: $(sed -n 3p "$T/bad/sweep.csv" | cut -c1-200)"
check "[ \"\$(sed -n 4p '$T/bad/sweep.csv' | cut -d, -f$s)\" = 0 ]" "the point after the failures did not run"
# --retry-failed runs the failed points again (the killer now lets them through).
sed -i 's/kill -9/true/' "$T/killer"
"$SWEEP" --root "$T/app" --section 11 --data Sym_Oscill.mnkd --runner "$T/killer" --tmp "$T" \
  --axis ALFA=abc,15,20 --out "$T/bad" --retry-failed >"$T/out" 2>&1
check "grep -q '3 of 3 points, 1 failed' '$T/out'" "retry-failed: $(tail -1 "$T/out")"

# 7. A run killed from outside is a failed point with its signal; a stopped or killed sweep
#    leaves no run behind and keeps its finished rows; the same command completes the table.
pids() {  # the sweep's server and the run it is computing, once point 0 is in the table
  local s r; for ((k = 0; k < 300; ++k)); do
    s=$(pgrep -P "$1" | head -1); r=${s:+$(pgrep -P "$s" | head -1)}
    [ -n "$r" ] && [ "$(wc -l < "$2" 2>/dev/null)" = 2 ] && { echo "$s $r"; return; }; sleep 0.05; done; }
alive() { ps -o stat= -p "$1" | grep -qv Z; }  # running, not a zombie
long=(--root "$T/app" --section 11 --data Sym_Oscill.mnkd --tmp "$T" --axis TMAX=1,60000 --set NSC=30000 --jobs 1)
# A third point waits in the worker's queue when the worker is killed: it runs on a new one.
"$SWEEP" "${long[@]/TMAX=1,60000/TMAX=1,60000,1}" --out "$T/kill" >"$T/out" 2>&1 & sp=$!
read -r srv run < <(pids $sp "$T/kill/sweep.csv"); kill -9 "$run"; wait $sp
rc=$?
check "[ $rc -eq 0 ] && sed -n 3p '$T/kill/sweep.csv' | grep -q '^1,60000,[0-9]*,137,velta-run was ended by signal 9' &&
       sed -n 4p '$T/kill/sweep.csv' | grep -q '^2,1,[0-9]*,0,'" \
  "killed run: exit $rc: $(sed -n 3,4p "$T/kill/sweep.csv" | cut -c1-100)"
for sig in TERM KILL; do
  rm -rf "$T/stop"; "$SWEEP" "${long[@]}" --out "$T/stop" >"$T/out" 2>&1 & sp=$!
  read -r srv run < <(pids $sp "$T/stop/sweep.csv"); kill -$sig $sp; wait $sp; sleep 0.3
  check "! alive $srv && ! alive $run && [ \$(wc -l < '$T/stop/sweep.csv') -eq 2 ]" \
    "SIG$sig: a process was left or rows lost: $(ps -o pid,args -p "${srv:-1},${run:-1}" | tail -n +2 | cut -c1-80)"
  [ $sig = TERM ] && check "grep -q 'stopped; 1 point(s) of this run were recorded' '$T/out'" "SIGTERM: $(tail -1 "$T/out")"
done
"$SWEEP" "${long[@]}" --out "$T/stop" >"$T/out" 2>&1
check "grep -q '2 of 2 points, 0 failed' '$T/out'" "after the kill the rerun did not complete: $(tail -1 "$T/out")"

# 8. A full disk (a file size limit) while the table grows: a clear message, only whole rows,
#    and the same command later completes the table.
( ulimit -f 6; exec "$SWEEP" --root "$T/app" --section 11 --data Sym_Oscill.mnkd --tmp "$T" \
  --axis ALFA=1:30:30 --set NSC=100 --out "$T/disk" --jobs 1 ) >"$T/out" 2>"$T/err"
rc=$?
check "[ $rc -eq 1 ] && grep -q 'cannot write $T/disk/sweep.csv: File too large' '$T/err' && grep -q 'run the same command again' '$T/err'" \
  "full disk: exit $rc: $(tail -2 "$T/err")"
check "[ \"\$(tail -c 1 '$T/disk/sweep.csv' | od -An -c | tr -d ' ')\" = '\\n' ]" "full disk: a cut row was left"
sweep --axis ALFA=1:30:30 --set NSC=100 --out "$T/disk" >"$T/out" 2>"$T/err"
check "[ $? -eq 0 ] && [ \$(wc -l < '$T/disk/sweep.csv') -eq 31 ]" "full disk: the rerun did not complete: $(tail -2 "$T/err")"

# 9. Slurm: --dry-run writes the batch script only; without sbatch the message says so.
sweep --axis ALFA=10,20,30 --out "$T/sl" --engine slurm --chunk-size 1 --dry-run >/dev/null 2>&1
check "grep -q '^#SBATCH --array=0-2$' '$T/sl/sweep.sbatch' && [ ! -e '$T/sl/sweep.csv' ]" "slurm --dry-run"
PATH=/nonexistent sweep --axis ALFA=10,20,30 --out "$T/sl" --engine slurm >/dev/null 2>"$T/err"
check "[ $? -eq 1 ] && grep -q 'Slurm is not reachable' '$T/err'" "no sbatch: $(cat "$T/err")"

echo "sweep: $passes passed, $fails failed"
[ $fails -eq 0 ]
