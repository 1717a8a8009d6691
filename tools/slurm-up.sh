#!/usr/bin/env bash
# Brings up a single-node Slurm on this machine (as root): a munge key and munged, a minimal
# slurm.conf (only when none exists or the one there was written by this script), slurmctld
# and slurmd; waits until the node accepts jobs. tools/slurm-down.sh stops them again.
# Debian packages: slurm-wlm munge.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "slurm-up: run as root" >&2; exit 1; }
for p in munged slurmctld slurmd sinfo; do
  command -v "$p" >/dev/null || [ -x "/usr/sbin/$p" ] || { echo "slurm-up: $p is missing (apt-get install slurm-wlm munge)" >&2; exit 1; }
done
host=$(hostname -s)
conf=/etc/slurm/slurm.conf
marker="# written by velta tools/slurm-up.sh"

# munge: the key and the daemon (run as the munge user).
mkdir -p /etc/munge /run/munge /var/lib/munge /var/log/munge
if [ ! -s /etc/munge/munge.key ]; then
  if command -v mungekey >/dev/null; then mungekey --create --keyfile=/etc/munge/munge.key
  else dd if=/dev/urandom of=/etc/munge/munge.key bs=1 count=1024 status=none; fi
fi
chown -R munge:munge /etc/munge /run/munge /var/lib/munge /var/log/munge
chmod 0700 /etc/munge && chmod 0400 /etc/munge/munge.key && chmod 0755 /run/munge
if ! munge -n </dev/null 2>/dev/null | unmunge >/dev/null 2>&1; then
  runuser -u munge -- /usr/sbin/munged
  for _ in $(seq 1 20); do munge -n </dev/null 2>/dev/null | unmunge >/dev/null 2>&1 && break; sleep 0.5; done
fi
munge -n </dev/null | unmunge >/dev/null || { echo "slurm-up: munged does not answer" >&2; exit 1; }

# slurm.conf: this machine as the controller and the one compute node.
if [ -e "$conf" ] && ! grep -qF "$marker" "$conf"; then
  echo "slurm-up: $conf exists and was not written by this script: using it as it is"
else
  mkdir -p /etc/slurm
  cpus=$(nproc)
  mem=$(( $(awk '/MemTotal/ {print $2}' /proc/meminfo) / 1024 - 256 ))
  cat > "$conf" <<CONF
$marker
ClusterName=velta
SlurmctldHost=$host
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
StateSaveLocation=/var/spool/slurmctld
SlurmdSpoolDir=/var/spool/slurmd
SlurmctldPidFile=/run/slurmctld.pid
SlurmdPidFile=/run/slurmd.pid
SlurmctldLogFile=/var/log/slurm/slurmctld.log
SlurmdLogFile=/var/log/slurm/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MaxArraySize=1001
NodeName=$host CPUs=$cpus RealMemory=$mem State=UNKNOWN
PartitionName=debug Nodes=ALL Default=YES MaxTime=INFINITE State=UP
CONF
fi
mkdir -p /var/spool/slurmctld /var/spool/slurmd /var/log/slurm

running() { [ -s "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }
running /run/slurmctld.pid || /usr/sbin/slurmctld
running /run/slurmd.pid || /usr/sbin/slurmd
for _ in $(seq 1 60); do
  state=$(sinfo -h -N -o '%t' 2>/dev/null | head -1 || true)
  case "$state" in
    idle*|mix*|alloc*) echo "slurm-up: node $host is $state"; sinfo; exit 0 ;;
    down*|drain*) scontrol update nodename="$host" state=resume 2>/dev/null || true ;;
  esac
  sleep 1
done
echo "slurm-up: the node did not come up (see /var/log/slurm/slurmctld.log and slurmd.log)" >&2
exit 1
