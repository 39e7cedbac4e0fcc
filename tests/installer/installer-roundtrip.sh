#!/bin/sh
# Silent install of the built setup program into the test prefix, check the
# files and the uninstall entry, silent uninstall, check both are gone and
# that the user's backups stayed.
set -e
build="$(cd "$1" && pwd)"
src="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="$build/prefix64" WINEDEBUG=-all
run="$src/scripts/wine-run"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnholt'

fail() { echo "FAIL: $*"; exit 1; }

"$src/scripts/build-installer" "$build" >/dev/null
"$run" "$build/Varnholt-Setup-1.37.exe" /S
# A 32-bit installer lands in the 32-bit Program Files.
dir="$WINEPREFIX/drive_c/Program Files (x86)/Varnholt"
[ -d "$dir" ] || dir="$WINEPREFIX/drive_c/Program Files/Varnholt"
for f in Varnholt.exe varnholt-cli.exe uninstall.exe README.txt; do
    [ -f "$dir/$f" ] || fail "$f not installed"
done
[ -d "$dir/Backup" ] || fail "no Backup folder"
"$run" reg query "$key" /v DisplayName /reg:32 | grep -q "Varnholt 1.37" || fail "no DisplayName"
"$run" reg query "$key" /v UninstallString /reg:32 | grep -q 'uninstall.exe' || fail "no UninstallString"
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
"$run" reg query "$key" /reg:32 >/dev/null 2>&1 && fail "uninstall entry left"
[ -f "$dir/Backup/{00000000-0000-0000-0000-000000000000}.rbk" ] || fail "user's backup deleted"
rm -rf "$dir"
echo "installer round trip passed"
