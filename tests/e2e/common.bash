# Set-up shared by the window tests: sourced with the path of the built orbisto as $1.
# Skips (exit 77) when Xvfb, xdotool or the helper tools are missing; otherwise prepares a demo
# FM 2006 install and a settings folder in a fresh temporary folder, removed at the end.

orbisto=$(realpath "${1:?usage: bash $0 <path to orbisto>}")
tools=$(realpath "$(dirname "$orbisto")/../tools")
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xsession.bash"

xsession_require_commands Xvfb xdotool xwininfo
xsession_require_tools "$tools" orbisto_demo_setup x11_close_window

# Under AddressSanitizer, two reports come from libraries loaded only with a real X server:
# libxkbcommon-x11 hands strndup a buffer without a terminator (strict string checks flag it,
# though strndup stops at its length), and libdbus leaks a buffer from a module Qt unloads before
# the leak check, so no suppression can name it. The program's own code is checked with both
# checks on by the core and window tests; here faults and undefined behaviour still fail the run.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0"
fi

work=$(mktemp -d /tmp/orbisto-e2e.XXXXXX)
game="$work/Football Manager 2006"
export XDG_CONFIG_HOME="$work/config"
# Orbisto also looks for games in the Wine prefixes below $HOME: a home of its own keeps the
# player's prefixes out of the test.
export HOME="$work/home"
mkdir -p "$HOME"
unset WINEPREFIX XDG_DATA_HOME
settings="$XDG_CONFIG_HOME/orbisto"

finish() {
    xsession_stop
    rm -rf "$work"
}
trap finish EXIT

# Reports a failure, keeping a picture of the screen for the reader.
fail() {
    xsession_fail "orbisto-e2e-$(basename "$0" .sh)" "$work/orbisto.log" "$@"
}

# The program runs from a copy of its folder, so what it writes into its library (the game's own
# ball, kept there at the first install) never lands in the build.
program_folder="$work/bin"
mkdir -p "$program_folder"
for part in orbisto balls Languages logo.jpg ReadMe.txt; do
    cp -r "$(dirname "$orbisto")/$part" "$program_folder/"
done
orbisto="$program_folder/orbisto"

"$tools/orbisto_demo_setup" prepare "$game" "$settings" >/dev/null
xsession_start_xvfb || fail "no virtual X server"
xsession_start_app "$orbisto" "$work/orbisto.log"

# Closes the main window like its close button and waits for the program to end.
close_main_window() {
    "$tools/x11_close_window" "$1" || fail "could not send the close request"
    xsession_wait_app_exit 20 || fail "the program did not end after its window was closed"
    local status=0
    wait "$XSESSION_APP_PID" || status=$?
    XSESSION_APP_PID=""
    # Under the sanitizers a leak or a fault at exit shows here.
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# The version stored at close: "value" of [SOFTWARE\\VESKO\\zvk3\\radio] in system.reg.
stored_version() {
    awk '/^\[/ {inkey = tolower($1) == "[software\\\\vesko\\\\zvk3\\\\radio]"} inkey && /^"value"=/ {print}' \
        "$settings/system.reg" 2>/dev/null
}
