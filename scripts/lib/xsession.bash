# Helpers to run Orbisto under a virtual X server (Xvfb) and drive it from outside with xdotool.
# Sourced by scripts/run and the window tests in tests/e2e. No window manager runs: windows keep
# the position and size the program gives them, and xdotool moves the keyboard focus itself.

XSESSION_XVFB_PID=""
XSESSION_APP_PID=""

# Starts Xvfb on a free display and exports DISPLAY. Xvfb picks the number itself and reports it
# once it accepts clients (-displayfd), so tests started at the same time never share a display.
xsession_start_xvfb() {
    local report n=""
    report=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$report" >/dev/null 2>&1 &
    XSESSION_XVFB_PID=$!
    for _ in $(seq 1 100); do
        n=$(tr -d '[:space:]' <"$report")
        [ -n "$n" ] && break
        kill -0 "$XSESSION_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$report"
    if [ -z "$n" ]; then
        echo "Could not start Xvfb." >&2
        kill "$XSESSION_XVFB_PID" 2>/dev/null || true
        XSESSION_XVFB_PID=""
        return 1
    fi
    export DISPLAY=":$n"
}

# Starts the program in the background from its own folder, where it finds logo.jpg and ReadMe.txt.
# Output goes to the file named by $2 (default /dev/null). It runs on the X server in $DISPLAY even when
# the caller's environment names another Qt platform (CI often sets QT_QPA_PLATFORM=offscreen for all).
xsession_start_app() {
    local program=$1 log=${2:-/dev/null}
    (cd "$(dirname "$program")" && QT_QPA_PLATFORM=xcb exec "./$(basename "$program")") >"$log" 2>&1 &
    XSESSION_APP_PID=$!
}

# Prints the id of the first window whose title is exactly $1, waiting up to $2 seconds.
xsession_wait_window() {
    local title=$1 seconds=${2:-30} pattern id
    pattern="^$(printf '%s' "$title" | sed 's/[][\.*^$+?(){}|]/\\&/g')\$"
    for _ in $(seq 1 $((seconds * 5))); do
        id=$(xdotool search --name "$pattern" 2>/dev/null | head -1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        if [ -n "$XSESSION_APP_PID" ] && ! kill -0 "$XSESSION_APP_PID" 2>/dev/null; then
            echo "The program ended before the window \"$title\" appeared." >&2
            return 1
        fi
        sleep 0.2
    done
    echo "No window \"$title\" appeared within $seconds s." >&2
    return 1
}

# Waits up to $2 seconds until no window is titled exactly $1.
xsession_wait_window_gone() {
    local title=$1 seconds=${2:-10}
    for _ in $(seq 1 $((seconds * 5))); do
        xdotool search --name "^${title}\$" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

# Width x height of a window, e.g. "609x297".
xsession_window_size() {
    xwininfo -id "$1" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w "x" h}'
}

# Gives a window the keyboard focus, which also makes Qt treat it as the active window.
xsession_focus() {
    xdotool windowfocus --sync "$1"
}

# Clicks the left button at window-relative x, y.
xsession_click() {
    xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}

# Saves a picture of one window to a PNG file.
xsession_screenshot() {
    import -window "$1" "$2"
}

# Waits up to $1 seconds for the program to end.
xsession_wait_app_exit() {
    local seconds=${1:-15}
    for _ in $(seq 1 $((seconds * 5))); do
        kill -0 "$XSESSION_APP_PID" 2>/dev/null || return 0
        sleep 0.2
    done
    return 1
}

# Stops the program (if still running) and the X server.
xsession_stop() {
    if [ -n "$XSESSION_APP_PID" ]; then
        kill "$XSESSION_APP_PID" 2>/dev/null || true
        wait "$XSESSION_APP_PID" 2>/dev/null || true
        XSESSION_APP_PID=""
    fi
    if [ -n "$XSESSION_XVFB_PID" ]; then
        kill "$XSESSION_XVFB_PID" 2>/dev/null || true
        wait "$XSESSION_XVFB_PID" 2>/dev/null || true
        XSESSION_XVFB_PID=""
    fi
}

# Ends a test as skipped (status 77) unless every named command is installed.
xsession_require_commands() {
    local needed
    for needed in "$@"; do
        if ! command -v "$needed" >/dev/null; then
            echo "SKIPPED: $needed is not installed (scripts/install-deps installs it)."
            exit 77
        fi
    done
}

# Ends a test as skipped (status 77) unless every named helper tool is built in the folder given first.
xsession_require_tools() {
    local folder=$1 needed
    shift
    for needed in "$@"; do
        if [ ! -x "$folder/$needed" ]; then
            echo "SKIPPED: $folder/$needed is not built."
            exit 77
        fi
    done
}

# Reports a failed test with the end of the program's log (if given) and a picture of the screen.
#   xsession_fail <picture name> <log file> <message...>
xsession_fail() {
    local name=$1 log=$2
    shift 2
    echo "FAILED: $*" >&2
    if [ -s "$log" ]; then
        echo "--- end of the program's output ---" >&2
        tail -n 30 "$log" >&2
    fi
    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        local picture="/tmp/$name.png"
        import -window root "$picture" 2>/dev/null && echo "Screen at the failure: $picture" >&2
    fi
    exit 1
}
