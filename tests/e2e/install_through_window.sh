#!/usr/bin/env bash
# Installs a ball through the real window: pick the first brand and its first ball, press Install,
# dismiss the two message boxes (the game's own ball kept, the ball installed); the game's normal
# ball frames are then the library's bytes, its own ball is in the library under "Original", the
# winter ball is untouched, and closing the window stores the version.
set -euo pipefail
source "$(dirname "$0")/common.bash" "$@"

# The first brand of the sample library and its first ball, in the order the boxes sort them.
library_ball="$(dirname "$orbisto")/balls/Kestrel/Aero"
normal="$game/data/graphics/pitch/balls"
winter_before=$(md5sum "$normal/winter/ball_73.png")
cp -r "$normal" "$work/own-ball"
kept="$program_folder/balls/Original/FM 2006 normal"

window=$(xsession_wait_window "Orbisto 3.0" 40) || fail "the main window did not appear"
xsession_focus "$window"

# Positions inside the window: the brand box at 400+8, 0+16; the ball list at 408, 48;
# the Install button at 152+8, 80+16.
xsession_click "$window" 430 26
xdotool key Down Down # past ">New balls" to the first brand
xsession_click "$window" 440 56
xsession_click "$window" 200 106

for message in "the game's ball kept" "the ball installed"; do
    box=$(xsession_wait_window "Information" 20) || fail "no message box ($message) after Install"
    xsession_focus "$box"
    xdotool key Return
    for _ in $(seq 1 50); do
        xdotool search --name "^Information\$" 2>/dev/null | grep -qx "$box" || break
        sleep 0.2
    done
    ! xdotool search --name "^Information\$" 2>/dev/null | grep -qx "$box" || fail "the box ($message) stayed open"
done

for frame in "$library_ball"/ball_*.png; do
    cmp -s "$frame" "$normal/$(basename "$frame")" || fail "$(basename "$frame") in the game differs from $frame"
done
[ "$(ls "$normal"/*.png | wc -l)" -eq 21 ] || fail "the game's ball folder does not hold 21 frames"
[ "$(md5sum "$normal/winter/ball_73.png")" = "$winter_before" ] || fail "the winter ball changed"
# The kept frames are the game's own, each followed by its tag.
for frame in "$work/own-ball"/ball_*.png; do
    cmp -s -n "$(stat -c %s "$frame")" "$frame" "$kept/$(basename "$frame")" ||
        fail "$(basename "$frame") was not kept in $kept"
done
[ -f "$(dirname "$kept")/tst.ini" ] && [ -f "$kept/tst.ini" ] || fail "the kept ball is not marked"

close_main_window "$window"
[ "$(stored_version)" = '"value"="2006"' ] || fail "stored version is '$(stored_version)', expected \"value\"=\"2006\""
echo "PASSED: Kestrel Aero installed through the window; version 2006 stored"
