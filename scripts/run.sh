#!/usr/bin/env bash
# Builds Pravelo and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh" --target pravelo

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Pravelo is built, but there is no display to show its window on." >&2
    echo "Start it on a virtual display with:  xvfb-run -a $BUILD_DIR/src/app/pravelo" >&2
    exit 2
fi
exec "$BUILD_DIR/src/app/pravelo"
