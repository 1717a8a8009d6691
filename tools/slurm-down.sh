#!/usr/bin/env bash
# Stops the single-node Slurm of tools/slurm-up.sh: slurmd, slurmctld and munged, each by the
# process id in its pid file. The configuration and the munge key stay for the next start.
set -u
[ "$(id -u)" -eq 0 ] || { echo "slurm-down: run as root" >&2; exit 1; }
stop() {  # pid-file name
  local f=$1 name=$2
  if [ -s "$f" ] && kill -0 "$(cat "$f")" 2>/dev/null; then
    local pid; pid=$(cat "$f")
    kill "$pid"
    for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.5; done
    echo "slurm-down: $name stopped"
  else
    echo "slurm-down: $name was not running"
  fi
}
stop /run/slurmd.pid slurmd
stop /run/slurmctld.pid slurmctld
stop /run/munge/munged.pid munged
