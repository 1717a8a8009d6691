#!/usr/bin/env bash
# velta-sweep through Slurm (a job array, one task per chunk) gives the same table as the
# local pool. Runs when Slurm is installed and up (tools/slurm-up.sh); skipped otherwise.
# Usage: sweep_slurm.sh VELTA_RUN SOURCE_DIR
set -u
RUN="$1"; SRC="$2"; SWEEP="$(dirname "$RUN")/velta-sweep"
if ! command -v slurmctld >/dev/null && [ ! -x /usr/sbin/slurmctld ]; then
  echo "SKIP: slurmctld is not installed (Debian slurm-wlm); the Slurm engine is not tested"; exit 0
fi
if ! sinfo -h >/dev/null 2>&1; then
  echo "SKIP: Slurm is installed but not running (bash tools/slurm-up.sh as root brings it up)"; exit 0
fi
# The tasks run on the node as the submitting user and need the files where they are: /tmp is shared here.
T=$(mktemp -d); trap 'rm -rf "$T"' EXIT
mkdir -p "$T/app/User"; cp "$SRC/User/Sym_Oscill.mnkd" "$T/app/User/"
fails=0; passes=0
check() { if eval "$1"; then passes=$((passes+1)); else echo "FAIL: $2"; fails=$((fails+1)); fi; }
args=(--root "$T/app" --section 11 --data Sym_Oscill.mnkd --runner "$RUN" --tmp "$T" --axis ALFA=10,20,30 --axis GAMA=1,3)
"$SWEEP" "${args[@]}" --out "$T/local" >/dev/null 2>"$T/err"
check "[ $? -eq 0 ]" "local: $(tail -2 "$T/err")"
timeout 600 "$SWEEP" "${args[@]}" --out "$T/slurm" --engine slurm --chunk-size 2 >"$T/out" 2>"$T/err"
rc=$?
check "[ $rc -eq 0 ] && cmp -s '$T/local/sweep.csv' '$T/slurm/sweep.csv'" "slurm: exit $rc or another table: $(tail -3 "$T/err")"
check "grep -q '^#SBATCH --array=0-2$' '$T/slurm/sweep.sbatch'" "slurm: not 3 array tasks"
echo "sweep_slurm: $passes passed, $fails failed"
[ $fails -eq 0 ]
