#!/usr/bin/env bash
# Builds the Debian package from build/ (after scripts/test.sh or run.sh) and
# tests it as a user meets it: its contents, dependencies, lintian, the menu
# entry, and a start by an ordinary user that writes the settings into
# ~/.config/Pravelo/ and nothing into the package's folders.
#   scripts/test-deb.sh             install into a throw-away root (dpkg -x)
#   scripts/test-deb.sh --system    as root: apt-get install, start, apt-get remove
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="$ROOT/build"
SYSTEM=0
[ "${1:-}" = "--system" ] && SYSTEM=1

fail() {
    echo "test-deb: $*" >&2
    exit 1
}

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")"
deb="$BUILD_DIR/pravelo_${version}_amd64.deb"
rm -f "$deb"
(cd "$BUILD_DIR" && cpack -G DEB >"$BUILD_DIR/cpack-deb.log" 2>&1) ||
    fail "cpack -G DEB failed: $(cat "$BUILD_DIR/cpack-deb.log")"
[ -f "$deb" ] || fail "no $deb"
echo "Package: $deb ($(du -k "$deb" | cut -f1) KiB)"

work="$(mktemp -d "${TMPDIR:-/tmp}/pravelo-deb.XXXXXX")"
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

# Contents and dependencies.
dpkg-deb -c "$deb" | awk '{print $6 ($7 ? " " $7 " " $8 : "")}' >"$work/contents"
for path in ./usr/lib/pravelo/pravelo ./usr/lib/pravelo/pravelo-office-guard \
    ./usr/lib/pravelo/pravelo-office-host ./usr/lib/pravelo/Pravelo.installed \
    "./usr/bin/pravelo -> ../lib/pravelo/pravelo" ./usr/share/applications/pravelo.desktop \
    ./usr/share/icons/hicolor/32x32/apps/pravelo.png ./usr/share/doc/pravelo/copyright; do
    grep -qxF "$path" "$work/contents" || fail "$path is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for dependency in "libreoffice-writer-nogui (>= 4:7.4) | libreoffice-writer (>= 4:7.4)" \
    libqt6widgets6 libuno-cppu3; do
    [[ "$depends" == *"$dependency"* ]] || fail "Depends lacks $dependency"
done

echo "lintian:"
lintian --fail-on error "$deb" || fail "lintian found errors"

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/pravelo.desktop" ||
    fail "the menu entry is not valid"

if ((SYSTEM)); then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null ||
        fail "apt-get install failed"
    program=/usr/bin/pravelo
    folder=/usr/lib/pravelo
else
    program="$work/root/usr/bin/pravelo"
    folder="$work/root/usr/lib/pravelo"
fi
before="$(ls -A "$folder")"
printf '[Makro]\r\nMOLVARIKtilret\r\n\r\n[DocType]\r\n*.doc\r\n*.dot\r\n\r\n\r\n' >"$work/defaults"

# Starts the program with a home of its own and no display, as the given user
# (setpriv arguments, or none), and waits for the default settings it writes at
# start-up to appear in ~/.config/Pravelo/.
start_as() {
    local home="$1"
    shift
    mkdir -p "$home"
    [ "$(id -u)" -ne 0 ] || [ $# -eq 0 ] || chown 65534:65534 "$home"
    env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
        "$@" "$program" >"$work/program.out" 2>&1 &
    pid=$!
    local settings="$home/.config/Pravelo/Pravelo.dll"
    for _ in $(seq 100); do
        [ -s "$settings" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    [ -s "$settings" ] || {
        cat "$work/program.out" >&2
        fail "no settings in $settings"
    }
    # The stamp line first, then the default lines, byte for byte.
    tail -n +2 "$settings" | cmp -s - "$work/defaults" ||
        fail "the settings file is not the default one: $(od -c "$settings" | head)"
    [ "$(ls -A "$folder")" = "$before" ] || fail "the program wrote into $folder"
}

if [ "$(id -u)" -eq 0 ]; then
    start_as "$work/nobody" setpriv --reuid=65534 --regid=65534 --clear-groups
    # Root may write the installed folder, yet its files go to its own folder too.
    start_as "$work/root-home"
else
    start_as "$work/home"
fi
echo "Settings written to ~/.config/Pravelo/Pravelo.dll, nothing into $folder"

# An edit batch of the installed program, as an ordinary user, from the command
# line: one document is edited, the one that fails is logged in the user's folder.
if ((SYSTEM)); then
    home="$work/nobody"
    basic="$home/.config/libreoffice/4/user/basic"
    mkdir -p "$basic/Standard" "$work/docs"
    head='<?xml version="1.0" encoding="UTF-8"?>'
    printf '%s\n<library:libraries xmlns:library="http://openoffice.org/2000/library" xmlns:xlink="http://www.w3.org/1999/xlink"><library:library library:name="Standard" xlink:href="$(USER)/basic/Standard/script.xlb/" xlink:type="simple" library:link="false"/></library:libraries>\n' \
        "$head" >"$basic/script.xlc"
    printf '%s\n<library:library xmlns:library="http://openoffice.org/2000/library" library:name="Standard" library:readonly="false" library:passwordprotected="false"><library:element library:name="Module1"/></library:library>\n' \
        "$head" >"$basic/Standard/script.xlb"
    printf '%s\n<script:module xmlns:script="http://openoffice.org/2000/script" script:name="Module1" script:language="StarBasic">Sub Maerk\n    ThisComponent.getText().getStart().setString(&quot;PRAVELO-MAERKE &quot;)\nEnd Sub\n</script:module>\n' \
        "$head" >"$basic/Standard/Module1.xba"
    printf '{\\rtf1\\ansi Et brev\\par}\n' >"$work/docs/brev.rtf"
    printf 'ikke et dokument\n' >"$work/docs/tekst.rtf"
    chown -R 65534:65534 "$home" "$work/docs"
    status=0
    env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 \
        setpriv --reuid=65534 --regid=65534 --clear-groups \
        "$program" --makro Maerk --samtidige 1 --rapport "$work/docs/rapport.csv" \
        "$work/docs/brev.rtf" "$work/docs/tekst.rtf" >"$work/batch.out" 2>&1 || status=$?
    [ "$status" -eq 1 ] || fail "the batch ended with $status, not 1: $(cat "$work/batch.out")"
    # The report is the user's own file, one row per document after the heading.
    [ "$(stat -c %u "$work/docs/rapport.csv" 2>/dev/null)" = 65534 ] &&
        [ "$(wc -l <"$work/docs/rapport.csv")" -eq 3 ] ||
        fail "no report of the user's own with a row per document"
    grep -q "PRAVELO-MAERKE" "$work/docs/brev.rtf" || fail "the document was not edited"
    log="$home/.config/Pravelo/Pravelo.log"
    [ "$(grep -c "tekst.rtf" "$log" 2>/dev/null)" = 1 ] && [ "$(wc -l <"$log")" -eq 1 ] ||
        fail "no single log line in $log: $(cat "$log" 2>/dev/null)"
    [ "$(ls -A "$folder")" = "$before" ] || fail "the batch wrote into $folder"
    echo "An ordinary user's batch edited the document, logged to ~/.config/Pravelo/Pravelo.log and wrote its report"
fi

if ((SYSTEM)); then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -q pravelo >/dev/null ||
        fail "apt-get remove failed"
    # Files and links of ours are gone, and with them our own folders.
    while read -r path; do
        path="${path#.}"
        path="${path%% -> *}"
        case "$path" in */) continue ;; esac
        if [ -e "$path" ] || [ -L "$path" ]; then fail "$path is left after removal"; fi
    done <"$work/contents"
    for path in /usr/lib/pravelo /usr/share/doc/pravelo; do
        [ ! -e "$path" ] || fail "$path is left after removal"
    done
    echo "apt-get remove left nothing of ours"
fi
echo "test-deb: all passed"
