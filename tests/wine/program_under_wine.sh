#!/usr/bin/env bash
# The Windows program under Wine, the way a player meets it: in a fresh Wine prefix under Xvfb, an
# FM 2006 whose installer recorded its folder in that prefix's registry. orbisto.exe opens its main
# window "Orbisto 3.0" with a 609 x 297 client area and no error box; the first ball of the first
# brand, installed through the window, lands byte for byte in the game's ball folder while the
# winter ball stays. Then "Normal and Winter" while a helper holds the winter ball_23.png as the running
# game does: an information box, both folders byte for byte as before and no temporary file left;
# once the helper has let go, the same install puts the ball into both folders. Closing the window
# stores the chosen version "2006" in the prefix's registry.
#   bash program_under_wine.sh <orbisto.exe> <win_window.exe>
set -euo pipefail

exe=$(realpath "${1:?usage: bash $0 <orbisto.exe> <win_window.exe>}")
win_window=$(realpath "${2:?usage: bash $0 <orbisto.exe> <win_window.exe>}")
library="$(dirname "$exe")/balls"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xsession.bash"

xsession_require_commands wine wineboot wineserver Xvfb xdotool

work=$(mktemp -d /tmp/orbisto-wine.XXXXXX)
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

finish() {
    xsession_stop
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

fail() {
    xsession_fail "orbisto-wine-$(basename "$0" .sh)" "$work/orbisto.log" "$@"
}

# Runs a Windows console program of this test in the prefix; its CRLF line ends become LF, Wine's
# own chatter goes to a log.
run_windows() {
    local status=0
    wine "$@" 2>>"$work/wine.log" | tr -d '\r' || status=$?
    return "$status"
}

# Text of a registry value as `wine reg query` prints it ("" when the key or value is missing).
registry_text() { # key, value name
    run_windows reg query "$1" /v "$2" 2>/dev/null | awk -v name="$2" '
        tolower($1) == tolower(name) && $2 ~ /^REG_/ {sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print}'
}

xsession_start_xvfb || fail "no virtual X server"
wineboot --init >>"$work/wine.log" 2>&1 || fail "wineboot could not make the prefix"

# The game in C:\Games with a normal and a winter ball in place (from the library, so both are
# named), recorded in the per-user hive as the game's own installer does.
game_windows='C:\Games\Football Manager 2006'
game="$WINEPREFIX/drive_c/Games/Football Manager 2006"
normal="$game/data/graphics/pitch/balls"
mkdir -p "$normal/winter"
cp "$library"/Northwind/Gale/ball_*.png "$normal/"
cp "$library"/Tundra/Frost/ball_*.png "$normal/winter/"
run_windows reg add 'HKCU\Software\Sports Interactive Ltd\Installs\Football Manager 2006' \
    /v Path /t REG_SZ /d "$game_windows" /f >/dev/null || fail "wine reg add refused the game's folder"
[ -z "$(registry_text 'HKLM\SOFTWARE\VESKO\zvk3\radio' value)" ] || fail "a version is stored before the start"

library_ball="$library/Kestrel/Aero"
winter_before=$(md5sum "$normal/winter/ball_73.png")

# Started from its own folder, where it finds logo.jpg and ReadMe.txt.
(cd "$(dirname "$exe")" && exec wine "./$(basename "$exe")") >"$work/orbisto.log" 2>&1 &
XSESSION_APP_PID=$!

read -r count size left top < <(run_windows "$win_window" find "Orbisto 3.0" 90) ||
    fail "the main window did not appear"
[ "$size" = "609x297" ] || fail "main window's client area is $size, expected 609x297"
# The error box is captioned with the title too: only one such window may exist.
sleep 1
read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
[ "$count" -eq 1 ] || fail "$count windows titled \"Orbisto 3.0\": the start-up showed an error box"

# Clicks at x, y of the main window's client area (Wine's screen is the X screen).
click() {
    xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
    sleep 0.5
}

# The brand box at 400+8, 0+16 (first item: ">New balls", then the brands in order); the ball list
# at 408, 48; the Install button at 152+8, 80+16.
click 430 26
xdotool key Down Down
sleep 0.5
click 440 56
click 200 106

run_windows "$win_window" find "Information" 30 >/dev/null || fail "no message box after Install"
xdotool key Return
for _ in $(seq 1 20); do
    run_windows "$win_window" find "Information" 0 >/dev/null 2>&1 || break
    sleep 0.5
done
run_windows "$win_window" find "Information" 0 >/dev/null 2>&1 && fail "the message box did not close on Return"

for frame in "$library_ball"/ball_*.png; do
    cmp -s "$frame" "$normal/$(basename "$frame")" || fail "$(basename "$frame") in the game differs from $frame"
done
[ "$(ls "$normal"/*.png | wc -l)" -eq 21 ] || fail "the game's ball folder does not hold 21 frames"
[ "$(md5sum "$normal/winter/ball_73.png")" = "$winter_before" ] || fail "the winter ball changed"

# Presses Install and answers the information box it must show, with no error box beside it.
install_and_confirm() {
    click 200 106
    run_windows "$win_window" find "Information" 30 >/dev/null || fail "no message box after Install ($1)"
    read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
    [ "$count" -eq 1 ] || fail "an error box beside the message ($1)"
    xdotool key Return
    for _ in $(seq 1 20); do
        run_windows "$win_window" find "Information" 0 >/dev/null 2>&1 || return 0
        sleep 0.5
    done
    fail "the message box did not close on Return ($1)"
}
# Every file of a folder, hidden ones included, with its checksum.
folder_state() { (cd "$1" && find . -maxdepth 1 -type f -print0 | sort -z | xargs -0 md5sum); }

# "Normal and Winter" (the radio button at 8+152, 80+80) while the winter ball_23.png is held.
click 200 168
cp "$library"/Northwind/Gale/ball_*.png "$normal/"
normal_state=$(folder_state "$normal")
winter_state=$(folder_state "$normal/winter")
release="$WINEPREFIX/drive_c/release-frame"
# Straight into a file (not through run_windows' tr, which would keep "held" until the helper ends).
wine "$win_window" hold "$game_windows\data\graphics\pitch\balls\winter\ball_23.png" 'C:\release-frame' \
    >"$work/hold.out" 2>>"$work/wine.log" &
holder=$!
for _ in $(seq 1 60); do
    grep -q held "$work/hold.out" 2>/dev/null && break
    sleep 0.5
done
grep -q held "$work/hold.out" || fail "the helper could not hold the winter ball_23.png"
install_and_confirm "a frame held"
touch "$release"
wait "$holder" || fail "the helper failed"
[ "$(folder_state "$normal")" = "$normal_state" ] || fail "the normal folder changed while a winter frame was held"
[ "$(folder_state "$normal/winter")" = "$winter_state" ] || fail "the winter folder changed while its frame was held"

install_and_confirm "the frame let go"
for frame in "$library_ball"/ball_*.png; do
    for folder in "$normal" "$normal/winter"; do
        cmp -s "$frame" "$folder/$(basename "$frame")" || fail "$(basename "$frame") in $folder differs from $frame"
    done
done
[ "$(ls -A "$normal/winter" | wc -l)" -eq 21 ] || fail "the winter folder holds more than the 21 frames"

run_windows "$win_window" close "Orbisto 3.0" || fail "could not ask the main window to close"
xsession_wait_app_exit 30 || fail "the program did not end after its window was closed"
status=0
wait "$XSESSION_APP_PID" || status=$?
XSESSION_APP_PID=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"

stored=$(registry_text 'HKLM\SOFTWARE\VESKO\zvk3\radio' value)
[ "$stored" = "2006" ] || fail "stored version is '$stored', expected 2006"
echo "PASSED: under Wine, main window 609x297; Kestrel Aero installed through the window; a held winter frame" \
    "changed neither folder, the install went through once it was let go; version 2006 stored"
