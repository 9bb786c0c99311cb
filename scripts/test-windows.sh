#!/usr/bin/env bash
# Cross-builds Pravelo.exe and its tests for Windows and runs the tests under
# Wine, in a private Wine prefix made for this run and ended after it. The
# window tests need a display: they get a virtual one. A run of every test goes
# on to the installer and the zip (scripts/test-installer.sh).
#   scripts/test-windows.sh [ctest options]      e.g. scripts/test-windows.sh -L window
set -euo pipefail
ctest_args=("$@")
set --
PRAVELO_WINDOWS=1 PRAVELO_PACKAGES_ONLY=1 source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$ROOT"

cmake --preset windows >/dev/null
cmake --build --preset windows

run_dir="$(mktemp -d "${TMPDIR:-/tmp}/pravelo-wine.XXXXXX")"
export WINEPREFIX="$run_dir/prefix"
cleanup() {
    # The server goes before its prefix, or it can no longer be reached.
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$run_dir"
}
trap cleanup EXIT

xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows "${ctest_args[@]}"
if ((${#ctest_args[@]} == 0)); then
    xvfb-run -a -s "-screen 0 1024x768x24" scripts/test-installer.sh
fi
