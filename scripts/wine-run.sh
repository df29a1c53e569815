#!/usr/bin/env bash
# Test emulator: runs a Windows program under Wine in the build tree's own headless prefix.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]   (VORELLE_WINEPREFIX, when set, overrides PREFIX)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
prefix=${VORELLE_WINEPREFIX:-$1}
shift
vorelle_prefix "$prefix" null
exec wine "$@"
