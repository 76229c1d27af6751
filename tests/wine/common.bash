# What the tests of the Windows program under Wine share: a fresh prefix in a work folder of the
# test's own, removed with everything in it at the end; a failure that keeps a picture of the screen;
# and the Windows console programs of the test run inside the prefix.
# Source scripts/lib/xsession.bash first, then this, then call wine_test_start.

# Makes the work folder from a mktemp template and the prefix's settings; `picture` names the
# screenshot a failure leaves in /tmp.
wine_test_start() { # work folder template, picture name
    work=$(mktemp -d "$1")
    wine_test_picture=$2
    export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
    # No Mono or Gecko installer dialogs while the prefix is made: the program needs neither.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    trap wine_test_finish EXIT
}

wine_test_finish() {
    xsession_stop
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}

fail() {
    xsession_fail "$wine_test_picture" "$work/orbisto.log" "$@"
}

# Runs a Windows console program in the prefix; its CRLF line ends become LF, Wine's own chatter goes
# to a log.
run_windows() {
    local status=0
    wine "$@" 2>>"$work/wine.log" | tr -d '\r' || status=$?
    return "$status"
}
