#!/usr/bin/env bash
# Builds everything and runs every test: unit, platform, window and real-office tests.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$ROOT"
ctest --preset default "$@"
