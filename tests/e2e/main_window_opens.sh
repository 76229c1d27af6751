#!/usr/bin/env bash
# The built program, started on a demo game under Xvfb, opens its main window "Orbisto 3.0" at
# 609 x 297 with no error box, and closing it stores the chosen version "2006".
set -euo pipefail
source "$(dirname "$0")/common.bash" "$@"

window=$(xsession_wait_window "Orbisto 3.0" 40) || fail "the main window did not appear"
size=$(xsession_window_size "$window")
[ "$size" = "609x297" ] || fail "main window is $size, expected 609x297"

# The error box is captioned with the title too: only one such window may exist.
sleep 1
count=$(xdotool search --name '^Orbisto 3\.0$' | wc -l)
[ "$count" -eq 1 ] || fail "$count windows titled \"Orbisto 3.0\": the start-up showed an error box"

[ -z "$(stored_version)" ] || fail "a version was stored before the window closed"
close_main_window "$window"
[ "$(stored_version)" = '"value"="2006"' ] || fail "stored version is '$(stored_version)', expected \"value\"=\"2006\""
echo "PASSED: main window 609x297 opened and closed; version 2006 stored"
