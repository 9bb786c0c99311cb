#!/usr/bin/env bash
# Builds everything and runs every test: unit, platform, window and real-office tests.
#   scripts/test.sh [ctest options]     e.g. scripts/test.sh -L unit
#   scripts/test.sh --strict            as CI: format check, warnings as errors, all tests,
#                                       then the sanitizer build's unit, platform and window tests,
#                                       the Debian package and its install test,
#                                       then the Windows build's tests, installer and zip under Wine
set -euo pipefail
STRICT=0
if [ "${1:-}" = "--strict" ]; then
    STRICT=1
    shift
fi
export PRAVELO_WERROR=$STRICT PRAVELO_PACKAGING=$STRICT
ctest_args=("$@")
set --  # the set-up reads its own arguments as build options
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$ROOT"
if ((STRICT)); then
    scripts/format-check.sh
fi
ctest --preset default "${ctest_args[@]}"
if ((STRICT)); then
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize
    ctest --preset sanitize
    # On the CI machine (root) the package is installed and removed for real.
    if [ "$(id -u)" -eq 0 ]; then scripts/test-deb.sh --system; else scripts/test-deb.sh; fi
    scripts/test-windows.sh
fi
