#!/usr/bin/env bash
# Installs what is missing, builds, and starts the package on the shipped sample files.
# Without a display it runs the headless runner on a section 1.1 sample instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/velta
fi
echo "velta: no display here; running the headless runner on User/Sym_Oscill.mnkd instead."
./build/velta-run --root build --section 11 --data Sym_Oscill.mnkd --png build/User/Sym_Oscill.png
