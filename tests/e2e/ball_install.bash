# Installing a ball through the real main window, shared by the window tests and the release test
# on a bare system. Sourced after scripts/lib/xsession.bash; the caller defines fail.

# Picks the first brand of the library and its first ball, presses Install and dismisses the two
# message boxes that follow (the game's own ball kept, the ball installed).
install_first_ball() {
    local window=$1 box message
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
}

# Fails unless the game's ball folder $2 holds exactly the 21 frames of the library ball $1, byte for byte.
check_ball_installed() {
    local library_ball=$1 game_balls=$2 frame
    for frame in "$library_ball"/ball_*.png; do
        cmp -s "$frame" "$game_balls/$(basename "$frame")" || fail "$(basename "$frame") in the game differs from $frame"
    done
    [ "$(ls "$game_balls"/*.png | wc -l)" -eq 21 ] || fail "the game's ball folder does not hold 21 frames"
}
