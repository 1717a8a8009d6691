# Sourced by the runner tests: every shipped sample of the sections that ask nothing.
# for_each_sample FN calls, for each data file below $T/User,
#   FN RESULTS-EXTENSION --section CODE --data FILE [--task TauN --runs 2]
# (the task folders' samples run two portions).
for_each_sample() {
  local fn=$1 code ext res sub f
  # section code, data extension, results extension, subfolder of the task folders
  while read -r code ext res sub; do
    if [ -n "$sub" ]; then
      for f in "$T"/User/"$sub"/Tau*/*."$ext"; do
        [ -f "$f" ] && "$fn" "$res" --section "$code" --data "$f" --task "$(basename "$(dirname "$f")")" --runs 2
      done
    else
      for f in "$T"/User/*."$ext"; do
        [ -f "$f" ] && "$fn" "$res" --section "$code" --data "$f"
      done
    fi
  done <<'LIST'
11 mnkd mnk
21 mtrd mtr
8 gsed gse
9 chad cha
511 sy1d sy1
521 sy2d sy2
3 stbd stb
7 stRd stR
22 mtzd mtz Mtr
12 mnzd mnz Mnk
6 suzd suz Suz
512 syzd s1z Sy1z
522 syzd s2z Sy2z
LIST
  return 0
}
