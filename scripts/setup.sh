#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (only what is missing), then
# configures and builds. Sourced by run.sh and test.sh.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"

need_packages=(cmake g++ make pkg-config qt6-base-dev libgtest-dev libgmock-dev libreoffice-dev
               libreofficekit-dev
               fonts-dejavu-core xvfb xauth libxcb1-dev locales clang-format
               qt6-translations-l10n)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${need_packages[@]}"; do installed "$p" || missing+=("$p"); done
# The headless office; a machine that already has the full office keeps it
# (the two conflict, and the full one serves as well).
if ! installed libreoffice-writer && ! installed libreoffice-writer-nogui; then
    missing+=(libreoffice-writer-nogui)
fi

# The package tools, only when the packages are built and tested (PRAVELO_PACKAGING=1).
if [ "${PRAVELO_PACKAGING:-0}" = 1 ]; then
    for p in dpkg-dev lintian desktop-file-utils; do installed "$p" || missing+=("$p"); done
fi

# The Windows cross-build, Wine and the installer maker, only when the Windows
# part runs (PRAVELO_WINDOWS=1).
windows_missing=()
if [ "${PRAVELO_WINDOWS:-0}" = 1 ]; then
    for p in g++-mingw-w64-x86-64-posix wine64 wine nsis; do
        installed "$p" || windows_missing+=("$p")
    done
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
fi
if ((${#windows_missing[@]})); then
    echo "Installing: ${windows_missing[*]}"
    ((${#missing[@]})) || $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
        "${windows_missing[@]}"
fi
# The Danish-locale tests need the Danish formats.
if ! locale -a | grep -qix 'da_DK\.utf-\?8'; then
    echo "Generating the locale da_DK.UTF-8"
    $SUDO localedef -i da_DK -c -f UTF-8 -A /usr/share/locale/locale.alias da_DK.UTF-8
fi

cd "$ROOT"
# PRAVELO_PACKAGES_ONLY=1: the packages and the locale, no Linux build.
if [ "${PRAVELO_PACKAGES_ONLY:-0}" = 1 ]; then
    return 0
fi
# PRAVELO_WERROR=1 (as CI sets it) turns warnings in our code into errors.
werror=OFF
[ "${PRAVELO_WERROR:-0}" = 1 ] && werror=ON
cmake --preset default -DPRAVELO_WERROR=$werror >/dev/null
cmake --build --preset default "$@"
