#!/usr/bin/env bash
# The unpacked release on a bare Debian 12 (minbase plus only what cmake/linux-system-libraries.txt
# leaves to the system: no Qt, no libarchive, no pugixml, no libjpeg): inside it, ldd resolves every
# library that the executable, each library in lib/ and each plugin asks for into the program folder
# or to a name of that list, with every symbol version they ask of it; the program, started there on the virtual X server (its socket bound
# in), opens its main window at 609 x 297 without an error box, and a ball installed through the
# window lands byte for byte in a demo game; started there on a headless Weston, it shows its
# 609 x 297 window through Qt's own Wayland platform.
#   bash bare_system.sh <release archive> <built tools folder>
set -euo pipefail
source "$(dirname "$0")/unpack.bash" "$@"
tools=$(realpath "${2:?usage: bash $0 <release archive> <tools folder>}")
source "$(dirname "$0")/../../scripts/lib/xsession.bash"
source "$(dirname "$0")/../e2e/ball_install.bash"
source "$(dirname "$0")/bare_root.bash"

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: making and entering the bare system needs root (mmdebstrap, mount, chroot)."
    exit 77
fi
xsession_require_commands Xvfb xdotool xwininfo weston mmdebstrap unshare chroot readelf flock
xsession_require_tools "$tools" orbisto_demo_setup x11_close_window

weston_pid=""
stop_programs() {
    xsession_stop
    if [ -n "$weston_pid" ]; then
        kill "$weston_pid" 2>/dev/null || true
        wait "$weston_pid" 2>/dev/null || true
    fi
}

root=$(bare_root_ensure) || fail "could not make the bare Debian 12 root"
# The root has no Qt and none of the libraries the core reads files with. (Others the folder carries
# come in as the graphics drivers' or freetype's own: libpng, ICU, libstdc++; the check below still
# takes them from the folder only.)
for carried in libQt6Core.so.6 libQt6XcbQpa.so.6 libarchive.so.13 libpugixml.so.1 libjpeg.so.62; do
    [ -z "$(find "$root/usr/lib" "$root/lib" -name "$carried" 2>/dev/null)" ] ||
        fail "the bare root holds $carried, which the program folder must carry"
done

# --- every name asked for resolves into the folder or to the system list ------------------------

mapfile -t system_libraries < <(bare_root_system_libraries)
is_system_library() {
    local name
    for name in "${system_libraries[@]}"; do
        [ "$name" = "$1" ] && return 0
    done
    return 1
}

# What the system brings must come from the system: a glibc or libGL of the build machine in lib/
# would be loaded instead of the desktop's.
for name in "${system_libraries[@]}"; do
    [ ! -e "$program_folder/lib/$name" ] || fail "lib/ carries $name, which the list leaves to the system"
done

mapfile -t elf_files < <(cd "$program_folder" && find orbisto lib plugins -type f | LC_ALL=C sort)
[ "${#elf_files[@]}" -gt 1 ] || fail "the program folder carries no libraries"
ldd_report=$(bare_root_run "$root" "$work" /bin/sh -c '
    folder=$1 && shift
    for file in "$@"; do echo "== $file"; ldd "$folder/$file" || echo "ldd failed"; done' sh "$program_folder" "${elf_files[@]}") ||
    fail "could not run ldd in the bare root"

problems=()
for file in "${elf_files[@]}"; do
    resolved=$(awk -v file="== $file" '$0 == file {on = 1; next} /^== / {on = 0} on' <<<"$ldd_report")
    [ -n "$resolved" ] || problems+=("$file: no ldd report")
    grep -q "ldd failed" <<<"$resolved" && problems+=("$file: ldd failed")
    while read -r name path; do
        problems+=("$file: $name => $path")
    done < <(awk '/=> not found/ {print $1, "not found"}' <<<"$resolved")
    # A symbol version the bare system's libraries lack (a newer glibc's, say).
    while IFS= read -r line; do
        problems+=("$file: $line")
    done < <(grep -o "version \`[^']*' not found.*" <<<"$resolved" || true)
    while read -r needed; do
        # "<tab>name => path (0xaddress)", and the path may hold blanks.
        path=$(awk -v name="$needed" '$1 == name && $2 == "=>" {
            line = substr($0, index($0, " => ") + 4); sub(/ \(0x[0-9a-f]+\)$/, "", line); print line}' <<<"$resolved")
        if is_system_library "$needed" || [ "$path" = "not found" ]; then
            continue
        fi
        [[ "$path" == "$program_folder"/* ]] || problems+=("$file: $needed => ${path:-nothing}, outside the folder")
    done < <(readelf -d "$program_folder/$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
done
if [ "${#problems[@]}" -gt 0 ]; then
    printf '  %s\n' "${problems[@]}" >&2
    fail "${#problems[@]} libraries asked for are neither in the folder nor left to the system (listed above)"
fi

# --- the program in the bare root ------------------------------------------------------------------

export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME" "$work/runtime"
chmod 700 "$work/runtime"
game="$work/Football Manager 2006"
"$tools/orbisto_demo_setup" prepare "$game" "$XDG_CONFIG_HOME/orbisto" >/dev/null
xsession_start_xvfb || fail "no virtual X server"

environment=(HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$work/data"
    XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb)
# A sanitizer build: the same two reports of libraries loaded only under a real X server as in tests/e2e.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    environment+=(ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0:detect_leaks=0")
fi
[ -z "${UBSAN_OPTIONS:-}" ] || environment+=(UBSAN_OPTIONS="$UBSAN_OPTIONS")
bare_root_run "$root" "$work" "${environment[@]}" /bin/sh -c 'cd "$1" && exec ./orbisto' sh "$program_folder" \
    >"$work/orbisto.log" 2>&1 &
XSESSION_APP_PID=$!

fail_with_log() {
    xsession_fail "orbisto-release-bare-system" "$work/orbisto.log" "$@"
}
window=$(xsession_wait_window "Orbisto 3.0" 60) || fail_with_log "the main window did not appear in the bare root"
size=$(xsession_window_size "$window")
[ "$size" = "609x297" ] || fail_with_log "main window is $size, expected 609x297"
sleep 1
count=$(xdotool search --name '^Orbisto 3\.0$' | wc -l)
[ "$count" -eq 1 ] || fail_with_log "$count windows titled \"Orbisto 3.0\": the start-up showed an error box"

install_first_ball "$window"
check_ball_installed "$program_folder/balls/Kestrel/Aero" "$game/data/graphics/pitch/balls"

"$tools/x11_close_window" "$window" || fail "could not send the close request"
xsession_wait_app_exit 20 || fail_with_log "the program did not end after its window was closed"
status=0
wait "$XSESSION_APP_PID" || status=$?
XSESSION_APP_PID=""
[ "$status" -eq 0 ] || fail_with_log "the program ended with status $status"

# --- the same program on Wayland, without X ---------------------------------------------------------

# A headless Weston on this machine, its socket in the runtime folder the program sees; the protocol
# log (WAYLAND_DEBUG) shows the window the program makes and the first picture it hands over.
XDG_RUNTIME_DIR="$work/runtime" weston --backend=headless-backend.so --socket=orbisto-wayland --idle-time=0 \
    >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do
    [ -S "$work/runtime/orbisto-wayland" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
[ -S "$work/runtime/orbisto-wayland" ] || fail "Weston did not start: $(tail -5 "$work/weston.log")"
wayland_environment=()
for setting in "${environment[@]}"; do
    case $setting in
    DISPLAY=* | QT_QPA_PLATFORM=*) ;;
    *) wayland_environment+=("$setting") ;;
    esac
done
wayland_environment+=(WAYLAND_DISPLAY=orbisto-wayland QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client)
bare_root_run "$root" "$work" "${wayland_environment[@]}" /bin/sh -c 'cd "$1" && exec ./orbisto' sh "$program_folder" \
    >"$work/wayland.log" 2>&1 &
XSESSION_APP_PID=$!
shown=""
for _ in $(seq 1 300); do
    if grep -q 'set_title("Orbisto 3.0")' "$work/wayland.log" && grep -q 'set_min_size(609, 297)' "$work/wayland.log" &&
        grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/wayland.log"; then
        shown=yes
        break
    fi
    kill -0 "$XSESSION_APP_PID" 2>/dev/null || break
    sleep 0.1
done
[ -n "$shown" ] || xsession_fail "orbisto-release-bare-wayland" "$work/wayland.log" \
    "no window \"Orbisto 3.0\" of 609 x 297 was shown on Wayland"
echo "PASSED: in a bare Debian 12 root, ${#elf_files[@]} files resolve into the folder or to the system list;" \
    "the main window opened at 609x297 on X and on Wayland, and a ball installed byte for byte"
