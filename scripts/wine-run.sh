#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in a private prefix:
# $WINEPREFIX when set (CI sets its own), else build-windows/wine-prefix.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build-windows/wine-prefix}"
export WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
WINE=/usr/lib/wine/wine64

# A fresh prefix is booted once, quietly: its services would hold our output
# open, and the server session that created it serves later starts badly.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$WINE" wineboot -i >/dev/null 2>&1 </dev/null || true
            wineserver -w >/dev/null 2>&1 || true
            wineserver -k >/dev/null 2>&1 || true
        fi
    ) 9>"$WINEPREFIX.lock"
fi
exec "$WINE" "$@"
