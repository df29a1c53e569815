#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the window-free rules with
# the host compiler (ASan/UBSan), then the Windows tests and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
