#!/usr/bin/env bash
# The unpacked release, started under Xvfb from a working folder that holds none of its files,
# opens its main window without an error box and counts the balls of the library beside it as the
# built program counts the sample library; started through its menu entry (GLib's launcher, as
# desktop menus do), it runs the unpacked executable in the unpacked folder.
#   bash starts_anywhere.sh <release archive> <built tools folder> <built orbisto>
set -euo pipefail
source "$(dirname "$0")/unpack.bash" "$@"
tools=$(realpath "${2:?usage: bash $0 <release archive> <tools folder> <built orbisto>}")
reference=$(realpath "${3:?usage: bash $0 <release archive> <tools folder> <built orbisto>}")
source "$(dirname "$0")/../../scripts/lib/xsession.bash"

xsession_require_commands Xvfb xdotool xwininfo import compare gio
xsession_require_tools "$tools" orbisto_demo_setup x11_close_window
# The same two reports of libraries loaded only under a real X server as in tests/e2e.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0"
fi

launched_pid=""
stop_programs() {
    if [ -n "$launched_pid" ]; then
        kill "$launched_pid" 2>/dev/null || true
    fi
    xsession_stop
}

# Every program here runs on the virtual X server, whatever Qt platform the caller's environment names.
export QT_QPA_PLATFORM=xcb
export HOME="$work/home"
export XDG_DATA_HOME="$work/data"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$work/elsewhere"
"$tools/orbisto_demo_setup" prepare "$work/Football Manager 2006" "$XDG_CONFIG_HOME/orbisto" >/dev/null
xsession_start_xvfb || fail "no virtual X server"

# Waits for the main window of a program started in the background; exactly one window has the
# title, so no error box came up at start.
main_window() {
    local window count
    window=$(xsession_wait_window "Orbisto 3.0" 40) || fail "the main window did not appear ($1)"
    sleep 1
    count=$(xdotool search --name '^Orbisto 3\.0$' | wc -l)
    [ "$count" -eq 1 ] || fail "$count windows titled \"Orbisto 3.0\" ($1): the start-up showed an error box"
    echo "$window"
}

# Activates the window, which counts the library's balls, and keeps a picture of the count.
picture_of_count() {
    xsession_focus "$1"
    sleep 1
    import -window "$1" -crop 22x16+408+144 +repage "$2"
}

# Closes the window and waits until the process $2 has ended.
close_and_wait() {
    "$tools/x11_close_window" "$1" || fail "could not send the close request"
    for _ in $(seq 1 100); do
        kill -0 "$2" 2>/dev/null || return 0
        sleep 0.2
    done
    fail "the program did not end after its window was closed"
}

# The built program, from its own folder: the count of the sample library.
xsession_start_app "$reference" "$work/reference.log"
window=$(main_window "built program")
picture_of_count "$window" "$work/count-built.png"
close_and_wait "$window" "$XSESSION_APP_PID"
XSESSION_APP_PID=""

# The unpacked program, from a folder without logo.jpg, ReadMe.txt or balls.
(cd "$work/elsewhere" && exec "$program_folder/orbisto") >"$work/unpacked.log" 2>&1 &
XSESSION_APP_PID=$!
window=$(main_window "unpacked program")
picture_of_count "$window" "$work/count-unpacked.png"
compare -metric AE "$work/count-built.png" "$work/count-unpacked.png" null: 2>/dev/null ||
    fail "the unpacked program shows another ball count than the built one"
close_and_wait "$window" "$XSESSION_APP_PID"
status=0
wait "$XSESSION_APP_PID" || status=$?
XSESSION_APP_PID=""
[ "$status" -eq 0 ] || fail "the unpacked program ended with status $status"

# Through the menu entry: Exec and Path as a desktop menu reads them.
"$program_folder/install-desktop-entry" >/dev/null || fail "install-desktop-entry failed"
(cd "$work/elsewhere" && gio launch "$XDG_DATA_HOME/applications/orbisto.desktop") >"$work/launched.log" 2>&1 ||
    fail "gio could not launch the menu entry: $(cat "$work/launched.log")"
window=$(main_window "menu entry")
launched_pid=$(xdotool getwindowpid "$window") || fail "the window names no process"
[ "$(readlink "/proc/$launched_pid/exe")" = "$program_folder/orbisto" ] ||
    fail "the menu entry started $(readlink "/proc/$launched_pid/exe")"
[ "$(readlink "/proc/$launched_pid/cwd")" = "$program_folder" ] ||
    fail "the menu entry's program runs in $(readlink "/proc/$launched_pid/cwd")"
close_and_wait "$window" "$launched_pid"
launched_pid=""
echo "PASSED: the unpacked release opens from another folder with the library's ball count, and from its menu entry"
