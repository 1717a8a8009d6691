#!/usr/bin/env bash
# Configures and builds everything into build/ (programs and the User folder at its top).
# In CI (CI set) or with VELTA_WERROR=1 every compiler warning fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
# Warnings as errors when asked (CI, tools/test.sh); otherwise the build keeps the setting it
# was configured with, so starting the package after the tests rebuilds nothing.
werror=()
if [ -n "${CI:-}" ] || [ "${VELTA_WERROR:-}" = 1 ]; then werror=(-DVELTA_WERROR=ON)
elif [ "${VELTA_WERROR:-}" = 0 ]; then werror=(-DVELTA_WERROR=OFF); fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${werror[@]}" >/dev/null
cmake --build build -j"$(nproc)"
