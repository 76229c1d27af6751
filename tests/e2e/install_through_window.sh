#!/usr/bin/env bash
# Installs a ball through the real window: pick the first brand and its first ball, press Install,
# dismiss the two message boxes (the game's own ball kept, the ball installed); the game's normal
# ball frames are then the library's bytes, its own ball is in the library under "Original", the
# winter ball is untouched, and closing the window stores the version.
set -euo pipefail
source "$(dirname "$0")/common.bash" "$@"
source "$(dirname "$0")/ball_install.bash"

# The first brand of the sample library and its first ball, in the order the boxes sort them.
library_ball="$(dirname "$orbisto")/balls/Kestrel/Aero"
normal="$game/data/graphics/pitch/balls"
winter_before=$(md5sum "$normal/winter/ball_73.png")
cp -r "$normal" "$work/own-ball"
kept="$program_folder/balls/Original/FM 2006 normal"

window=$(xsession_wait_window "Orbisto 3.0" 40) || fail "the main window did not appear"
install_first_ball "$window"
check_ball_installed "$library_ball" "$normal"
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
