#!/bin/sh
# installer-roundtrip.sh BUILD_ROOT: silent install of the setup program built
# from both builds into the 64-bit prefix WINEPREFIX names, check that the x64
# programs landed in the native Program Files and the uninstall entry in the
# native registry view, silent uninstall, check both are gone and that the
# user's backups stayed.
set -e
build="$(cd "$1" && pwd)"
src="$(cd "$(dirname "$0")/../.." && pwd)"
: "${WINEPREFIX:?WINEPREFIX must name the 64-bit prefix}"
export WINEPREFIX WINEDEBUG=-all
run="$src/scripts/wine-run"
. "$src/scripts/wine-env"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnholt'

fail() { echo "FAIL: $*"; exit 1; }

"$src/scripts/build-installer" "$build" >/dev/null
"$run" "$build/Varnholt-Setup-1.37.exe" /S
dir="$WINEPREFIX/drive_c/Program Files/Varnholt"
[ -d "$WINEPREFIX/drive_c/Program Files (x86)/Varnholt" ] && fail "installed into Program Files (x86)"
for f in Varnholt.exe varnholt-cli.exe uninstall.exe README.txt; do
    [ -f "$dir/$f" ] || fail "$f not installed"
done
for f in Varnholt.exe varnholt-cli.exe; do
    [ "$(pe_arch "$dir/$f")" = x64 ] || fail "$f is not the x64 program"
done
[ -d "$dir/Backup" ] || fail "no Backup folder"
"$run" reg query "$key" /v DisplayName /reg:64 | grep -q "Varnholt 1.37" || fail "no DisplayName"
"$run" reg query "$key" /v UninstallString /reg:64 | grep -q 'uninstall.exe' || fail "no UninstallString"
[ -n "$(find "$WINEPREFIX/drive_c" -name 'Varnholt.lnk' -path '*Start Menu*' | head -1)" ] || fail "no Start-menu shortcut"

# A backup of the user's must survive a plain uninstall.
printf 'backup' > "$dir/Backup/{00000000-0000-0000-0000-000000000000}.rbk"
"$run" "$dir/uninstall.exe" /S
# The uninstaller runs from a temporary copy: wait until it is done.
i=0
while [ -f "$dir/Varnholt.exe" ] || [ -f "$dir/uninstall.exe" ]; do
    i=$((i + 1)); [ $i -gt 60 ] && fail "files left after uninstall"
    sleep 0.5
done
sleep 1
"$run" reg query "$key" /reg:64 >/dev/null 2>&1 && fail "uninstall entry left"
[ -f "$dir/Backup/{00000000-0000-0000-0000-000000000000}.rbk" ] || fail "user's backup deleted"
rm -rf "$dir"
echo "installer round trip passed"
