#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (Qt windows on the offscreen platform).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
