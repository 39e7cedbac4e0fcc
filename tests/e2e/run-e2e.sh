#!/bin/bash
# run-e2e.sh BUILD_DIR: drives the real Varnholt.exe the way a user would,
# with X input under a display, through a scan, fix and restore from the
# keyboard alone, then with the mouse through scan, details, fix, restore,
# the three tools and the options, in a copy of the prefix WINEPREFIX names (the
# 32-bit one for the x86 build, the 64-bit one for the x64 build) holding a
# removed application's leftovers. After each step it reads the
# registry back and fails when the step did not have its effect. A
# screenshot of each screen goes to BUILD_DIR/e2e-screens; with E2E_DOCS=DIR
# the documentation's pictures are made from them too.
set -u
build="$(cd "${1:?usage: run-e2e.sh BUILD_DIR}" && pwd)"
src="$(cd "$(dirname "$0")/../.." && pwd)"

# A display of its own, so no other window (another test's, a desktop's)
# takes the clicks. Wine binds its session to the display of its first
# process, and the prefix below is the run's own.
if [ -z "${E2E_OWN_DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "needs xvfb-run" >&2; exit 2; }
    E2E_OWN_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$build"
fi

source_prefix="${WINEPREFIX:?WINEPREFIX must name the prefix to copy}"
exe="$build/app/Varnholt.exe"
cli="$build/app/varnholt-cli.exe"
out="$build/e2e-screens"
prefix="$build/prefix-e2e"
for f in "$exe" "$cli" "$source_prefix/system.reg"; do
    [ -e "$f" ] || { echo "missing $f: build and make the prefixes first" >&2; exit 2; }
done
command -v xdotool >/dev/null && command -v import >/dev/null && command -v convert >/dev/null ||
    { echo "needs xdotool and imagemagick (scripts/install-deps)" >&2; exit 2; }

export WINEPREFIX="$prefix" WINEDEBUG=-all
. "$src/scripts/wine-env"
# Wine's own programs through the prefix's loader, ours through their own.
wine() { "$(loader_for_program "$1" "$WINEPREFIX")" "$@"; }
winepath() { "$(loader_for_prefix "$WINEPREFIX")" winepath "$@"; }
started=$(date +%s)
failures=0
app_pid=""

finish() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
}
trap finish EXIT

say() { echo "e2e: [$(( $(date +%s) - started )) s] $*"; }
fail() { echo "e2e: FAIL: $*" >&2; failures=$((failures + 1)); }
die() {
    echo "e2e: FAIL: $*" >&2
    shot "zz-failure" root
    for id in $(visible_named ''); do
        echo "  window $id '$(xdotool getwindowname "$id" 2>/dev/null)' $(geometry "$id")" >&2
    done
    exit 1
}

# ------------------------------------------------------------ registry
settings='HKCU\Software\Varnholt\Varnholt\Settings'
wreg() { wine reg "$@" </dev/null >/dev/null 2>&1; }
has_value() { wreg query "$1" /v "$2"; }
has_key() { wreg query "$1"; }
lacks_value() { ! has_value "$1" "$2"; }
lacks_key() { ! has_key "$1"; }
# Retries "$@" for up to ten seconds until it succeeds: the program acts on
# an answer after its box has closed, later still on a loaded machine.
eventually() {
    local i
    for ((i = 0; i < 50; i++)); do "$@" && return 0; sleep 0.2; done
    return 1
}
# The program's settings, one "NAME NUMBER" line per REG_DWORD value.
settings_dwords() {
    wine reg query "$settings" </dev/null 2>/dev/null | tr -d '\r' |
        awk '$2 == "REG_DWORD" { print $1, $3 }' |
        while read -r name hex; do echo "$name $((hex))"; done
}
dword_of() { echo "$1" | awk -v n="$2" '$1 == n { print $2 }'; }  # LIST NAME

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninst_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\AcmePhotoTool'
bho_id='{6A1C0D2E-5B7F-4C11-9A3E-ACDE00000003}'
bho_key="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\$bho_id"

# The planted leftovers the fix must remove and the restore bring back, one
# or more per category: "key|value" ("key|" for the key itself).
leftovers=(
    'HKCR\CLSID\{6A1C0D2E-5B7F-4C11-9A3E-ACDE00000001}\InprocServer32|'
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\acmephoto.exe|'
    'HKCR\AcmePhoto.Image\shell\open\command|'
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDlls|C:\Program Files\Common Files\Acme\acmecore.dll'
    'HKLM\SYSTEM\CurrentControlSet\Services\AcmeUpdater|'
    'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts|Acme Sans (TrueType)'
    'HKLM\SOFTWARE\Microsoft\Windows\Help|acmephoto.hlp'
    "$run_key|AcmePhotoTray"
    "$uninst_key|"
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\ComDlg32\OpenSaveMRU\acmp|a'
)
# One Wine start answers for all of them (each start costs about a second):
# prints a 1 or a 0 per leftover, in order.
leftover_states() {
    local item key value
    { printf '@echo off\r\n'
    for item in "${leftovers[@]}"; do
        key="${item%%|*}" value="${item#*|}"
        if [ -z "$value" ]; then
            printf 'reg query "%s" >nul 2>&1\r\necho state=%%errorlevel%%\r\n' "$key"
        else
            printf 'reg query "%s" /v "%s" >nul 2>&1\r\necho state=%%errorlevel%%\r\n' "$key" "$value"
        fi
    done; } > "$out/query.cmd"
    wine cmd /c "$(winepath -w "$out/query.cmd" 2>/dev/null)" </dev/null 2>/dev/null |
        tr -d '\r' | sed -n 's/^state=0$/1/p; s/^state=[1-9][0-9]*$/0/p' | tr -d '\n'
}
# check_leftovers WANT STEP: fails STEP for each leftover not in state WANT.
all_leftovers() { [ "$(leftover_states)" = "$(printf "%${#leftovers[@]}s" | tr ' ' "$1")" ]; }
check_leftovers() {
    local states i
    eventually all_leftovers "$1"
    states=$(leftover_states)
    [ "${#states}" -eq "${#leftovers[@]}" ] || { fail "$2: registry query answered '$states'"; return; }
    for ((i = 0; i < ${#leftovers[@]}; i++)); do
        if [ "${states:i:1}" != "$1" ]; then
            if [ "$1" = 1 ]; then fail "$2: ${leftovers[i]%|} is missing"
            else fail "$2: ${leftovers[i]%|} is still there"; fi
        fi
    done
}

# ------------------------------------------------------------ windows
main=""
known=""
mx=0; my=0
geometry() {  # ID -> "X Y W H"
    xdotool getwindowgeometry --shell "$1" 2>/dev/null |
        awk -F= '/^X=/{x=$2}/^Y=/{y=$2}/^WIDTH=/{w=$2}/^HEIGHT=/{h=$2}END{print x, y, w, h}'
}
visible_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
# Waits up to $2 seconds for a visible window named $1 that is none of the
# known ones; prints its id.
wait_dialog() {
    local name="$1" limit=$(( ${2:-20} * 10 )) i id
    for ((i = 0; i < limit; i++)); do
        for id in $(visible_named "$name"); do
            case " $known " in *" $id "*) ;; *) echo "$id"; return 0 ;; esac
        done
        sleep 0.1
    done
    return 1
}
# Presses keys in the focused window, a little apart, as a typist would.
keys() {
    xdotool key --delay 150 "$@"
    sleep 0.3
}
# Waits up to $2 seconds for window $1 to be unmapped or destroyed.
wait_gone() {
    local limit=$(( ${2:-20} * 10 )) i
    for ((i = 0; i < limit; i++)); do
        visible_named '' | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}
click() {  # X Y in main-frame coordinates
    xdotool mousemove $((mx + $1)) $((my + $2)) sleep 0.05 click 1
    sleep 0.3
}
# Answers the message box or dialog $1 with key $2 and checks it closed.
answer() {
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.2
    xdotool key "$2"
    wait_gone "$1" 10 || die "the box $1 did not close on $2"
}

# ------------------------------------------------------------ screenshots
mkdir -p "$out"
rm -f "$out"/*.png
# shot NAME [root]: the main frame's area (message boxes and dialogs open
# centred over it), or the whole screen.
shot() {
    local file="$out/$1.png"
    if [ "${2:-}" = root ] || [ -z "$main" ]; then
        import -window root -strip "$file" 2>/dev/null
    else
        import -window root -crop "668x437+$mx+$my" +repage -strip "$file" 2>/dev/null
    fi
    [ -s "$file" ] && say "screenshot $file"
}

# shot_window NAME ID: window ID alone.
shot_window() {
    local file="$out/$1.png"
    set -- $(geometry "$2")
    import -window root -crop "$3x$4+$1+$2" +repage -strip "$file" 2>/dev/null
    [ -s "$file" ] && say "screenshot $file"
}

# Main-frame coordinates of the controls: the panel buttons on the left,
# the work area from (256, 95).
wa() { echo $((256 + $1)) $((95 + $2)); }
PANEL_SCAN="124 116"; PANEL_STARTUP="139 180"; PANEL_PLUGINS="139 225"
PANEL_UNINSTALL="139 269"; PANEL_RESTORE="139 312"; PANEL_OPTIONS="139 356"
PANEL_ABOUT="139 400"; CLOSE="647 16"
SCAN_NOW=$(wa 226 296); FIX_ERRORS=$(wa 331 296)
TOOL_SECOND=$(wa 331 284)   # "Remove entry", "Remove Plugin"
RESTORE_ALL=$(wa 211 284); RESTORE=$(wa 331 284)
details_button() { wa 382 $((67 + 21 * $1 + 11)); }   # row N
OPT_SPLASH=$(wa 10 90); OPT_SOUND=$(wa 10 115); OPT_PROMPT=$(wa 10 140)

# ------------------------------------------------------------ the run
say "prefix $prefix"
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
rm -rf "$prefix"
cp -a "$source_prefix" "$prefix" || die "cannot copy $source_prefix"
# The program keeps its Backup folder beside itself: install it in the
# prefix so every run starts without sessions.
home="$prefix/drive_c/Program Files/Varnholt"
mkdir -p "$home"
cp "$build/app/Varnholt.exe" "$build/app/varnholt-cli.exe" "$home/" || die "cannot install"
exe="$home/Varnholt.exe"; cli="$home/varnholt-cli.exe"
"$src/scripts/plant-demo-leftovers" || die "planting failed"
check_leftovers 1 "planting"
[ "$failures" -eq 0 ] || die "planting failed"
has_key "$bho_key" || die "browser helper object not planted"

say "step 1: start Varnholt.exe"
"$(loader_for_program "$exe" "$WINEPREFIX")" "$exe" </dev/null >/dev/null 2>&1 &
app_pid=$!
for ((i = 0; i < 300; i++)); do
    for id in $(visible_named '^Varnholt$'); do
        set -- $(geometry "$id")
        [ "${3:-0}" = 668 ] && [ "${4:-0}" = 437 ] && { main=$id; mx=$1; my=$2; break 2; }
    done
    [ $i = 5 ] && shot "00-splash" root
    sleep 0.1
done
[ -n "$main" ] || die "no 668x437 main window"
# The windows there before any dialog opens: the frame, Wine's tray
# window, the desktop.
known=$(echo $(visible_named ''))
say "main window $main at $mx,$my"
sleep 0.5
shot "01-scan-panel"

# The keyboard alone: no clicks from here to the end of step 1c. The frame
# starts with the focus on the category list (every row ticked); the Tab
# ring runs through the visible panel's controls, then close, minimise, the
# seven panel buttons and the two links. After a box or dialog the focus is
# back on the control that had it.
say "step 1a: scan from the keyboard"
xdotool windowfocus "$main" 2>/dev/null
sleep 0.3
keys Tab space                  # from the list to "Scan NOW!", pressed
box=$(wait_dialog '^Varnholt$' 60) || die "keyboard: no message box after the scan"
shot "01a-keyboard-fix-prompt"
counts=$(settings_dwords)
for name in regComObject regSharedDll regHistory; do
    n=$(dword_of "$counts" "$name")
    [ "${n:-0}" -ge 1 ] || fail "keyboard scan: $name is '${n:-}' (no finding saved)"
done
check_leftovers 1 "keyboard scan"

say "step 1b: fix from the keyboard"
answer "$box" Return            # Yes is the default button
box=$(wait_dialog '^Varnholt$' 60) || die "keyboard: no message after the fix"
answer "$box" Return
check_leftovers 0 "keyboard fix"

say "step 1c: restore from the keyboard"
# "Scan NOW!" has the focus again: back past the list and the two links,
# About and Options to the Restore panel's button.
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
shot "01c-keyboard-restore"
# On round Options, About and the links into the restore list; Space ticks
# its first row, "Select All" (after the session box) the rest.
keys Tab Tab Tab Tab Tab space
keys Tab Tab space
keys Tab space                  # "Restore"
box=$(wait_dialog '^Confirm$' 10) || die "keyboard: no restore confirmation"
shot "01c-keyboard-restore-confirm"
answer "$box" Return
check_leftovers 1 "keyboard restore"
click $PANEL_SCAN
sleep 0.3

say "step 2: Scan NOW!"
click $SCAN_NOW
progress=$(wait_dialog '' 10) && shot "02-scan-progress"
box=$(wait_dialog '^Varnholt$' 60) || die "no message box after the scan"
sleep 0.3
shot "03-fix-prompt"
answer "$box" n
sleep 0.3
shot "04-scan-results"
# The scan saves its counts per category: each must have found something.
counts=$(settings_dwords)
for name in regComObject regAppPath regFileAssociation regSharedDll regService regFonts \
            regHelpFiles regStartup regUninstall regHistory; do
    n=$(dword_of "$counts" "$name")
    [ "${n:-0}" -ge 1 ] || fail "scan: $name is '${n:-}' (no finding saved)"
done
check_leftovers 1 "scan"

say "step 3: details of the COM objects row"
click $(details_button 0)
dlg=$(wait_dialog '' 10) || die "no details dialog"
sleep 0.3
shot "05-details"
shot_window "05-details-dialog" "$dlg"
set -- $(geometry "$dlg")
[ "$3 $4" = "620 317" ] || fail "details dialog is $3x$4, not 620x317"
xdotool mousemove $(( $1 + 450 )) $(( $2 + 288 )) sleep 0.05 click 1
wait_gone "$dlg" 10 || die "details dialog did not close on OK"

say "step 4: Fix Errors"
click $FIX_ERRORS
box=$(wait_dialog '^Varnholt$' 10) || die "no fix prompt"
sleep 0.3
shot "06-fix-confirm"
answer "$box" y
box=$(wait_dialog '^Varnholt$' 60) || die "no message after the fix"
sleep 0.3
shot "07-fixed"
answer "$box" Return
check_leftovers 0 "fix"

say "step 5: restore"
click $PANEL_RESTORE
sleep 0.3
shot "08-restore"
click $RESTORE_ALL
shot "08-restore-selected"
click $RESTORE
box=$(wait_dialog '^Confirm$' 10) || die "no restore confirmation"
shot "09-restore-confirm"
answer "$box" y
sleep 0.5
shot "10-restored"
check_leftovers 1 "restore"

say "step 6: startup tool"
click $PANEL_STARTUP
sleep 0.3
shot "11-startup"
has_value "$run_key" AcmePhotoTray || die "startup entry not there before its removal"
click $TOOL_SECOND
box=$(wait_dialog '' 10) || die "no confirmation for the startup entry"
answer "$box" y
eventually lacks_value "$run_key" AcmePhotoTray || fail "startup: AcmePhotoTray still in Run"

say "step 7: uninstall tool"
click $PANEL_UNINSTALL
sleep 0.3
shot "12-uninstall"
click $TOOL_SECOND
box=$(wait_dialog '' 10) || die "no confirmation for the uninstall entry"
answer "$box" y
eventually lacks_key "$uninst_key" || fail "uninstall: AcmePhotoTool still listed"

say "step 8: plug-in tool"
click $PANEL_PLUGINS
sleep 0.3
shot "13-plugins"
click $TOOL_SECOND
box=$(wait_dialog '' 10) || die "no confirmation for the plug-in"
answer "$box" y
eventually lacks_key "$bho_key" || fail "plug-ins: the browser helper object is still registered"

say "step 9: options"
click $PANEL_OPTIONS
sleep 0.3
shot "14-options"
# Each tick box is stored as soon as it is clicked; unset values mean on.
before=$(settings_dwords)
click $OPT_SPLASH; click $OPT_SOUND; click $OPT_PROMPT
options_flipped() {
    local after name was
    after=$(settings_dwords)
    for name in ShowSplash UseSound PromptFix; do
        was=$(dword_of "$before" "$name")
        [ "$(dword_of "$after" "$name")" = $((1 - ${was:-1})) ] || return 1
    done
}
eventually options_flipped
after=$(settings_dwords)
for name in ShowSplash UseSound PromptFix; do
    was=$(dword_of "$before" "$name"); was=${was:-1}
    now=$(dword_of "$after" "$name")
    [ "${now:-x}" = $((1 - was)) ] || fail "options: $name went from $was to '${now:-}'"
done
shot "15-options-changed"

say "step 10: about"
click $PANEL_ABOUT
sleep 0.3
shot "16-about"

say "step 11: close"
click $CLOSE
for ((i = 0; i < 100; i++)); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "the program did not end on the close button"
app_pid=""
# At exit the program writes what it still holds for restoring: the three
# tool removals (the fix's session was restored in full and is gone).
wine "$cli" backups </dev/null 2>/dev/null | tr -d '\r' > "$out/backups.txt"
sessions=$(grep -c '\.rbk' "$out/backups.txt")
[ "$sessions" = 1 ] || fail "exit: $sessions backup sessions, not 1"
for entry in "Startup info entry AcmePhotoTray" "Uninstall info entry AcmePhotoTool" \
             "Browser Helper Object entry $bho_id"; do
    grep -q "$entry" "$out/backups.txt" || fail "exit: no backup of $entry"
done

# With E2E_DOCS=DIR the pictures of the documentation are written there,
# small: metadata stripped, a 256-colour palette (the skin is flat).
if [ -n "${E2E_DOCS:-}" ] && [ "$failures" -eq 0 ]; then
    mkdir -p "$E2E_DOCS"
    for pair in 01-scan-panel:scan-panel 04-scan-results:scan-results \
                05-details-dialog:details 03-fix-prompt:fix-prompt 08-restore-selected:restore \
                11-startup:startup-tool 14-options:options; do
        convert "$out/${pair%%:*}.png" -strip -colors 256 -define png:compression-level=9 \
            "$E2E_DOCS/${pair#*:}.png" || fail "cannot write $E2E_DOCS/${pair#*:}.png"
    done
    say "documentation pictures in $E2E_DOCS"
fi

say "$failures failure(s), $(( $(date +%s) - started )) s"
[ "$failures" -eq 0 ]
