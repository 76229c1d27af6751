#!/usr/bin/env bash
# The Windows program under Wine, the way a player meets it: in a fresh Wine prefix under Xvfb, an
# FM 2006 whose installer recorded its folder in that prefix's registry. orbisto.exe opens its main
# window "Orbisto 3.0" with a 609 x 297 client area and no error box; the first ball of the first
# brand, installed through the window, lands byte for byte in the game's ball folder while the
# winter ball stays. Then "Normal and Winter" while a helper holds the winter ball_23.png as the
# running game does: an information box, both folders byte for byte as before and no temporary file
# left; once the helper has let go, the same install puts the ball into both folders. Closing the
# window stores the chosen version "2006" in the prefix's registry, in HKLM and in the per-user copy.
# Then as a standard user: HKLM\SOFTWARE\VESKO only readable (registry_probe gives its keys a
# read-only descriptor, which Wine enforces). A language and an FM 2005 folder chosen in Settings,
# and FM 2005 chosen in the main window, are stored per user with no error box, HKLM keeps what it
# held, and the next starts read all three back. Qt's start-up prints no DPI-awareness warning of
# its own beside the manifest's setting.
#   bash program_under_wine.sh <orbisto.exe> <win_window.exe> <registry_probe.exe>
set -euo pipefail

usage="usage: bash $0 <orbisto.exe> <win_window.exe> <registry_probe.exe>"
exe=$(realpath "${1:?$usage}")
win_window=$(realpath "${2:?$usage}")
registry_probe=$(realpath "${3:?$usage}")
library="$(dirname "$exe")/balls"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xsession.bash"

xsession_require_commands wine wineboot wineserver Xvfb xdotool

source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
wine_test_start /tmp/orbisto-wine.XXXXXX "orbisto-wine-$(basename "$0" .sh)"

# Text of a registry value as `wine reg query` prints it ("" when the key or value is missing, which
# is no failure of its own).
registry_text() { # key, value name
    run_windows reg query "$1" /v "$2" 2>/dev/null | awk -v name="$2" '
        tolower($1) == tolower(name) && $2 ~ /^REG_/ {sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print}' || true
}

xsession_start_xvfb || fail "no virtual X server"
wineboot --init >>"$work/wine.log" 2>&1 || fail "wineboot could not make the prefix"
# Qt's messages to stderr, not to the debugger. Wine passes no QT_ variable of the Linux side on, so
# it is set in the prefix's own environment.
run_windows reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null

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

# Starts the program from its own folder, where it finds logo.jpg and ReadMe.txt, and waits for its
# main window; sets size, left and top (its client area). Qt's messages go to the log.
start_program() {
    (cd "$(dirname "$exe")" && exec wine "./$(basename "$exe")") >>"$work/orbisto.log" 2>&1 &
    XSESSION_APP_PID=$!
    read -r count size left top < <(run_windows "$win_window" find "Orbisto 3.0" 90) ||
        fail "the main window did not appear"
    # The error box is captioned with the title too: only one such window may exist.
    sleep 1
    read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
    [ "$count" -eq 1 ] || fail "$count windows titled \"Orbisto 3.0\": the start-up showed an error box"
}

# Waits for the program to end by itself (an error box would keep it running) with status 0.
program_ended() { # what ended it
    xsession_wait_app_exit 30 || fail "the program did not end after $1: an error box?"
    local status=0
    wait "$XSESSION_APP_PID" || status=$?
    XSESSION_APP_PID=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status after $1"
}

close_program() {
    run_windows "$win_window" close "Orbisto 3.0" || fail "could not ask the main window to close"
    program_ended "its window was closed"
}

# Clicks at x, y of the main window's client area (Wine's screen is the X screen), or of another
# window's client area at $3, $4.
click() {
    xdotool mousemove --sync $((${3:-$left} + $1)) $((${4:-$top} + $2)) click 1
    sleep 0.5
}

# Presses Return in the information box and waits until it has closed.
confirm_information() {
    run_windows "$win_window" find "Information" 30 >/dev/null || fail "no information box after $1"
    xdotool key Return
    for _ in $(seq 1 20); do
        run_windows "$win_window" find "Information" 0 >/dev/null 2>&1 || return 0
        sleep 0.5
    done
    fail "the information box after $1 did not close on Return"
}

# Installs the first ball of the first brand through the main window: the brand box at 400+8, 0+16
# (first item: ">New balls", then the brands in order); the ball list at 408, 48; the Install
# button at 152+8, 80+16.
install_first_ball() {
    click 430 26
    xdotool key Down Down
    sleep 0.5
    click 440 56
    click 200 106
    confirm_information "Install"
}

# Presses Install and answers the information box it must show, with no error box beside it.
install_and_confirm() {
    click 200 106
    run_windows "$win_window" find "Information" 30 >/dev/null || fail "no message box after Install ($1)"
    read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
    [ "$count" -eq 1 ] || fail "an error box beside the message ($1)"
    confirm_information "Install ($1)"
}
# Every file of a folder, hidden ones included, with its checksum.
folder_state() { (cd "$1" && find . -maxdepth 1 -type f -print0 | sort -z | xargs -0 md5sum); }

start_program
[ "$size" = "609x297" ] || fail "main window's client area is $size, expected 609x297"

install_first_ball

for frame in "$library_ball"/ball_*.png; do
    cmp -s "$frame" "$normal/$(basename "$frame")" || fail "$(basename "$frame") in the game differs from $frame"
done
[ "$(ls "$normal"/*.png | wc -l)" -eq 21 ] || fail "the game's ball folder does not hold 21 frames"
[ "$(md5sum "$normal/winter/ball_73.png")" = "$winter_before" ] || fail "the winter ball changed"

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

close_program

for hive in HKLM HKCU; do
    stored=$(registry_text "$hive\\SOFTWARE\\VESKO\\zvk3\\radio" value)
    [ "$stored" = "2006" ] || fail "stored version in $hive is '$stored', expected 2006"
done

# Now as a standard user. Every key of the program's gets the read-only descriptor, the missing ones
# too: Wine does not always refuse a new key below a key that refuses writes, as Windows does.
for key in '' '\zvk' '\zvk\Lang' '\zvk3' '\zvk3\radio' '\zvk3\path' '\zvk3\path\fm2005' \
    '\zvk3\path\fm2006' '\zvk3\path\fm2007'; do
    run_windows "$registry_probe" read-only HKLM "SOFTWARE\\VESKO$key" >/dev/null || fail "cannot make HKLM$key read-only"
done
run_windows reg add 'HKLM\SOFTWARE\VESKO\zvk\Lang' /v lang /t REG_SZ /d English /f >/dev/null 2>&1 &&
    fail "HKLM\SOFTWARE\VESKO still takes writes"

# The FM 2005 folder is chosen in Settings (its installer left no record), with its ball folders.
game2005_windows='C:\Games\Football Manager 2005'
game2005="$WINEPREFIX/drive_c/Games/Football Manager 2005"
normal2005="$game2005/data/graphics/pitch/balls"
mkdir -p "$normal2005/winter"
cp "$library"/Northwind/Gale/ball_*.png "$normal2005/"
cp "$library"/Tundra/Frost/ball_*.png "$normal2005/winter/"

# Settings (button at 400+8, 216+16): Deutsch, the first language, applied with Change; then the
# FM 2005 folder typed into the folder chooser. The program ends itself after the resmsg box.
start_program
click 440 242
read -r _ _ settings_left settings_top < <(run_windows "$win_window" find "Settings" 30) ||
    fail "the settings window did not open"
click 40 36 "$settings_left" "$settings_top"   # the first item of ListBox1 (8+8, 8+20)
click 60 116 "$settings_left" "$settings_top"  # Change (8+8, 8+98)
run_windows "$win_window" find "Einstellungen" 10 >/dev/null || fail "the language was not applied"
click 314 174 "$settings_left" "$settings_top" # the FM 2005 chooser button (8+300, 144+20)
run_windows "$win_window" find "Select Directory" 30 >/dev/null || fail "the folder chooser did not open"
sleep 1
xdotool type --delay 20 "$game2005_windows"
sleep 1
xdotool key Return
# A completion list of the typed folder takes the first Return.
run_windows "$win_window" find "Information" 3 >/dev/null 2>&1 || xdotool key Return
confirm_information "a folder was chosen in Settings"
program_ended "a folder was chosen in Settings"

[ "$(registry_text 'HKCU\SOFTWARE\VESKO\zvk\Lang' lang)" = Deutsch ] || fail "the language is not in the per-user copy"
[ "$(registry_text 'HKCU\SOFTWARE\VESKO\zvk3\path\fm2005' Path)" = "$game2005_windows" ] ||
    fail "the FM 2005 folder in the per-user copy is '$(registry_text 'HKCU\SOFTWARE\VESKO\zvk3\path\fm2005' Path)'"
[ -z "$(registry_text 'HKLM\SOFTWARE\VESKO\zvk\Lang' lang)" ] || fail "HKLM took the language although it refuses"
[ -z "$(registry_text 'HKLM\SOFTWARE\VESKO\zvk3\path\fm2005' Path)" ] || fail "HKLM took the folder although it refuses"

# The next start reads the language and the folder back: Settings is titled in German, and FM 2005
# can be chosen. Choosing it is stored at the close, per user only.
start_program
click 175 24 # rb2005 (152+8, 0+16)
click 440 242
run_windows "$win_window" find "Einstellungen" 30 >/dev/null || fail "the language was not read back at the start"
xdotool key Escape
for _ in $(seq 1 20); do
    run_windows "$win_window" find "Einstellungen" 0 >/dev/null 2>&1 || break
    sleep 0.5
done
close_program
[ "$(registry_text 'HKCU\SOFTWARE\VESKO\zvk3\radio' value)" = 2005 ] || fail "FM 2005 was not stored per user"
[ "$(registry_text 'HKLM\SOFTWARE\VESKO\zvk3\radio' value)" = 2006 ] || fail "HKLM's version changed although it refuses"

# And the one after reads FM 2005 back (HKLM still says 2006): the install lands in its folder.
start_program
install_first_ball
close_program
for frame in "$library_ball"/ball_*.png; do
    cmp -s "$frame" "$normal2005/$(basename "$frame")" || fail "$(basename "$frame") did not land in FM 2005"
done

# Qt asks for per-monitor v2 itself and, on Windows 10/11, finds the manifest's setting in place.
# Wine 8 knows no v2 context: it refuses Qt's call as an invalid parameter (87, 0x57), with or
# without a manifest, and Qt then asks for the non-client scaling Wine does not implement (120).
# Any other DPI warning (a fallback that failed, a mode that differs) fails the test.
wine_only='PER_MONITOR_AWARE_V2) failed: COM error 0x57 \|EnableNonClientDpiScaling() failed for HWND .* (120)'
if grep -i "dpi" "$work/orbisto.log" | grep -v "$wine_only" | grep -q .; then
    fail "Qt warned about the DPI awareness: $(grep -i dpi "$work/orbisto.log" | grep -v "$wine_only" | head -3)"
fi
echo "PASSED: under Wine, main window 609x297; Kestrel Aero installed through the window; a held winter frame" \
    "changed neither folder and the install went through once it was let go; version 2006 stored" \
    "in both hives; with HKLM read-only, language, folder and version stored per user and read back"
