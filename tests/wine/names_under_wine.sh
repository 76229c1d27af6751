#!/usr/bin/env bash
# The Windows program under Wine with names outside ASCII everywhere, in the code page that LOCALE
# gives Wine (pl_PL.UTF-8: 1250, en_US.UTF-8: 1252): started from a folder whose path holds "Łódź"
# and "Café", with a library brand "Żubr" holding the ball "Łoś", the Polish language chosen, and an
# FM 2006 whose installer recorded "C:\Gry\Piłka nożna\FM 2006" with a skin "Skórka". The main
# window opens without an error box; "Łoś", picked through the window, lands byte for byte with
# its UTF-8 tag; the game's own ball is kept in the library under "Original"; the skin window,
# titled in Polish, lists "Skórka" and installs the ball into it; Help opens ReadMe.txt from the
# program's folder.
#   bash names_under_wine.sh <orbisto.exe> <win_window.exe> <locale>
set -euo pipefail

exe=$(realpath "${1:?usage: bash $0 <orbisto.exe> <win_window.exe> <locale>}")
win_window=$(realpath "${2:?usage: bash $0 <orbisto.exe> <win_window.exe> <locale>}")
locale=${3:?usage: bash $0 <orbisto.exe> <win_window.exe> <locale>}
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xsession.bash"

xsession_require_commands wine wineboot wineserver Xvfb xdotool python3
if ! locale -a 2>/dev/null | grep -qix "$(echo "$locale" | sed 's/UTF-8/utf8/')"; then
    echo "SKIPPED: the locale $locale is missing (scripts/test-windows makes it)"
    exit 77
fi
export LANG=$locale LC_ALL=$locale

source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
wine_test_start /tmp/orbisto-names.XXXXXX "orbisto-wine-names-${locale%%.*}"

# Copies a frame with its tag trailer replaced by `tag` (UTF-8), or with no trailer when `tag` is
# "-" (the game's own, untagged frames).
retag() { # source, target, tag
    python3 - "$1" "$2" "$3" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
length = struct.unpack('<i', data[-4:])[0]
if 4 <= length <= len(data):
    data = data[:-length]
if sys.argv[3] != '-':
    tag = sys.argv[3].encode('utf-8')
    data += tag + struct.pack('<i', len(tag) + 4)
open(sys.argv[2], 'wb').write(data)
EOF
}

# The program folder, under a path no code page holds whole.
app="$work/Łódź Café/Orbisto"
mkdir -p "$app"
cp "$exe" "$app/orbisto.exe"
cp -r "$(dirname "$exe")"/{balls,Languages,logo.jpg,ReadMe.txt} "$app/"
ball="$app/balls/Żubr/Łoś"
mkdir -p "$ball"
cp "$app/balls/Kestrel/tst.ini" "$app/balls/Żubr/tst.ini"
cp "$app/balls/Kestrel/Aero/tst.ini" "$ball/tst.ini"
for frame in "$app"/balls/Kestrel/Aero/ball_*.png; do
    retag "$frame" "$ball/$(basename "$frame")" "Żubr|Łoś"
done

xsession_start_xvfb || fail "no virtual X server"
wineboot --init >>"$work/wine.log" 2>&1 || fail "wineboot could not make the prefix"

# The game with its own untagged ball, and a skin whose folder name is not ASCII.
game="$WINEPREFIX/drive_c/Gry/Piłka nożna/FM 2006"
normal="$game/data/graphics/pitch/balls"
mkdir -p "$normal/winter" "$game/data/skins/Skórka/graphics/pitch/balls"
for frame in "$app"/balls/Northwind/Gale/ball_*.png; do
    retag "$frame" "$normal/$(basename "$frame")" -
    cp "$normal/$(basename "$frame")" "$normal/winter/"
done
printf '<?xml version="1.0"?>\n<record><string id="name" value="Skórka"/><boolean id="hnfn" value="true"/></record>\n' \
    >"$game/data/skins/Skórka/Skórka.xml"
own_before=$(cd "$normal" && md5sum ball_*.png)
run_windows reg add 'HKCU\Software\Sports Interactive Ltd\Installs\Football Manager 2006' \
    /v Path /t REG_SZ /d 'C:\Gry\Piłka nożna\FM 2006' /f >/dev/null || fail "wine reg add refused the game's folder"
run_windows reg add 'HKLM\SOFTWARE\VESKO\zvk\Lang' /v lang /t REG_SZ /d Polski /f >/dev/null ||
    fail "wine reg add refused the language"

(cd "$app" && exec wine ./orbisto.exe) >"$work/orbisto.log" 2>&1 &
XSESSION_APP_PID=$!

read -r count size left top < <(run_windows "$win_window" find "Orbisto 3.0" 90) ||
    fail "the main window did not appear"
[ "$size" = "609x297" ] || fail "main window's client area is $size, expected 609x297"
sleep 1
read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
[ "$count" -eq 1 ] || fail "$count windows titled \"Orbisto 3.0\": the start-up showed an error box"

click() {
    xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
    sleep 0.5
}

# "Żubr" is the last brand of the brand box (400+8, 0+16), after ">New balls" and the sample
# library's four brands; its one ball is the first of the list.
click 430 26
xdotool key Down Down Down Down Down Down
sleep 0.5
click 440 56
click 200 106

# The note that the game's own ball was kept, then the one of the install.
for box in kept installed; do
    run_windows "$win_window" find "Information" 30 >/dev/null || fail "no message box ($box) after Install"
    xdotool key Return
    sleep 1
done
for _ in $(seq 1 20); do
    run_windows "$win_window" find "Information" 0 >/dev/null 2>&1 || break
    sleep 0.5
done

for frame in "$ball"/ball_*.png; do
    cmp -s "$frame" "$normal/$(basename "$frame")" || fail "$(basename "$frame") in the game differs from $frame"
done
python3 -c 'import struct, sys; tag = "Żubr|Łoś".encode(); sys.exit(not open(sys.argv[1], "rb").read().endswith(tag + struct.pack("<i", len(tag) + 4)))' \
    "$normal/ball_73.png" || fail "the installed frame does not end in the UTF-8 tag"
kept="$app/balls/Original/FM 2006 normal"
[ "$(ls "$kept"/ball_*.png 2>/dev/null | wc -l)" -eq 21 ] || fail "the game's own ball was not kept under Original"
for frame in "$kept"/ball_*.png; do
    own="$work/own.png"
    retag "$frame" "$own" -
    grep -q "$(md5sum <"$own" | cut -d' ' -f1)" <<<"$own_before" || fail "kept $(basename "$frame") is not the game's own"
done

# The same ball into the skin "Skórka": "Install to skin" (the check box at 152+8, 80+96) makes
# Install open the skin window, titled in Polish; its first skin (lista at 8, 56) and its Install
# button (intall2 at 8, 16) put the ball into the skin. The skin had no winter folder, so it gets both.
click 170 184
click 200 106
read -r _ _ skin_left skin_top < <(run_windows "$win_window" find "Instaluj do skórki" 30) ||
    fail "the skin window did not open"
xdotool mousemove --sync $((skin_left + 40)) $((skin_top + 64)) click 1
sleep 0.5
xdotool mousemove --sync $((skin_left + 124)) $((skin_top + 32)) click 1
run_windows "$win_window" find "Information" 30 >/dev/null || fail "no message box after installing into the skin"
xdotool key Return
sleep 1
skin_balls="$game/data/skins/Skórka/graphics/pitch/balls"
for folder in "$skin_balls" "$skin_balls/winter"; do
    for frame in "$ball"/ball_*.png; do
        cmp -s "$frame" "$folder/$(basename "$frame")" || fail "$(basename "$frame") in $folder differs from $frame"
    done
done
run_windows "$win_window" close "Instaluj do skórki" || fail "could not close the skin window"
sleep 1
click 170 184 # the main window installs into the game again

# Help: the shell opens the ReadMe.txt beside the program. A fresh prefix may lack the .txt
# association a Windows system has; then Help's error box (a second "Orbisto 3.0" window) names the
# file, which still shows that the path reached the shell whole.
click 556 276
if run_windows "$win_window" find "ReadMe.txt - Notepad" 20 >/dev/null; then
    run_windows "$win_window" close "ReadMe.txt - Notepad" || true
else
    read -r count _ < <(run_windows "$win_window" find "Orbisto 3.0" 1)
    [ "$count" -eq 2 ] || fail "Help neither opened ReadMe.txt nor said why"
    echo "Help: this prefix opens no .txt file; Help reported it"
    xdotool key Return
    sleep 1
fi

run_windows "$win_window" close "Orbisto 3.0" || fail "could not ask the main window to close"
xsession_wait_app_exit 30 || fail "the program did not end after its window was closed"
status=0
wait "$XSESSION_APP_PID" || status=$?
XSESSION_APP_PID=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASSED: under Wine in $locale, from \"$app\": Żubr Łoś installed byte for byte into the game and the skin Skórka, the game's ball kept, Help opened"
