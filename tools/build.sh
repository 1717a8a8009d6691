#!/usr/bin/env bash
# Configures and builds everything into build/ (programs and the User folder at its top).
# In CI (CI set) or with VELTA_WERROR=1 every compiler warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
werror=OFF
if [ -n "${CI:-}" ] || [ "${VELTA_WERROR:-0}" = 1 ]; then werror=ON; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELTA_WERROR=$werror >/dev/null
cmake --build build -j"$(nproc)"
