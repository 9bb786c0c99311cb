#!/usr/bin/env bash
# Builds the Windows installer and zip from build-windows/ and tests them under
# Wine: the zip holds the portable Pravelo.exe and pravelo-cli.exe; the installer, run silently,
# puts Pravelo.exe under Program Files with a Start-menu entry and an entry in
# Add/Remove Programs; the installed copy runs an edit batch and keeps its
# settings and log under %APPDATA%\Pravelo; the silent uninstaller removes the
# program and the Start-menu entry and leaves the settings alone.
# Run by scripts/test-windows.sh, in its Wine prefix and on its virtual display.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build-windows"
WINE_RUN="$ROOT/scripts/wine-run.sh"
: "${WINEPREFIX:?needs the Wine prefix of the Windows tests}"

fail() {
    echo "test-installer: $*" >&2
    exit 1
}

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")"
name="Pravelo-$version-win64"
rm -f "$BUILD_DIR/$name.exe" "$BUILD_DIR/$name.zip"
(cd "$BUILD_DIR" && cpack >/dev/null) || fail "cpack failed"
for package in "$name.exe" "$name.zip"; do
    [ -f "$BUILD_DIR/$package" ] || fail "no $package"
    echo "Package: $BUILD_DIR/$package ($(du -k "$BUILD_DIR/$package" | cut -f1) KiB)"
done

# The zip is the portable copy: no mark that would send its files elsewhere.
listing="$(cd "$BUILD_DIR" && cmake -E tar tf "$name.zip" | LC_ALL=C sort | tr '\n' ' ')"
[ "$listing" = "$name/Pravelo.exe $name/pravelo-cli.exe " ] || fail "the zip holds: $listing"

drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/Pravelo"
"$WINE_RUN" "$BUILD_DIR/$name.exe" /S >/dev/null 2>&1 || fail "the installer failed"
for file in Pravelo.exe pravelo-cli.exe Pravelo.installed Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "$file is not in Program Files\\Pravelo"
done
shortcut="$(find "$drive_c" -path '*/Start Menu/Programs/Pravelo/Pravelo.lnk')"
[ -n "$shortcut" ] || fail "no Start-menu entry"

key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pravelo'
registered="$("$WINE_RUN" reg query "$key" 2>/dev/null | tr -d '\r')"
for value in "DisplayVersion    REG_SZ    $version" "Publisher    REG_SZ    Pravelo" \
    'DisplayIcon    REG_SZ    C:\Program Files\Pravelo\Pravelo.exe' UninstallString; do
    [[ "$registered" == *"$value"* ]] || fail "Add/Remove Programs lacks $value: $registered"
done
echo "Installed under Program Files, with a Start-menu entry and an uninstall entry"

PRAVELO_INSTALLED_EXE='C:\Program Files\Pravelo\Pravelo.exe' "$WINE_RUN" \
    "$BUILD_DIR/tests/win32/pravelo_exe_tests.exe" \
    --gtest_filter='*InstalledCopy*' 2>&1 | tr -d '\r' |
    tee "$BUILD_DIR/installed-test.log" | grep -E '^\[  (PASSED|FAILED|SKIPPED)' || true
grep -q '^\[  PASSED  \] 1 test' "$BUILD_DIR/installed-test.log" ||
    fail "the installed copy's test failed (build-windows/installed-test.log)"
settings="$(find "$drive_c/users" -path '*/AppData/Roaming/Pravelo/Pravelo.dll')"
[ -n "$settings" ] || fail "no settings under %APPDATA%\\Pravelo"

"$WINE_RUN" 'C:\Program Files\Pravelo\Uninstall.exe' /S >/dev/null 2>&1 ||
    fail "the uninstaller failed"
# The uninstaller works on from a copy of itself and returns at once; it removes
# the folder, the Start-menu entry and the registry entry in an order of its own.
for _ in $(seq 300); do
    if [ ! -e "$folder" ] && [ ! -e "$shortcut" ] &&
        ! "$WINE_RUN" reg query "$key" >/dev/null 2>&1; then
        break
    fi
    sleep 0.1
done
[ ! -e "$folder" ] || fail "Program Files\\Pravelo is left: $(ls -A "$folder")"
[ ! -e "$shortcut" ] || fail "the Start-menu entry is left"
"$WINE_RUN" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left"
[ -s "$settings" ] || fail "the uninstaller removed the user's settings"
echo "test-installer: all passed"
