#!/usr/bin/env bash
# The unpacked release works from any folder: its executable, libraries and plugins look for
# libraries only inside the folder, it carries the platform plugins and a qt.conf that points Qt at
# them, and install-desktop-entry writes a valid menu entry whose Exec and Path lead into the
# unpacked folder, and the icon at each size, into $XDG_DATA_HOME (or ~/.local/share); a second
# run replaces them; --remove takes out all it wrote and nothing else; a script without its
# program beside it writes nothing.
set -euo pipefail
source "$(dirname "$0")/unpack.bash" "$@"

command -v desktop-file-validate >/dev/null ||
    fail "desktop-file-validate is missing (Debian package desktop-file-utils; scripts/install-deps installs it)"

# The executable looks for libraries in its own lib/ only, the libraries beside themselves and the
# plugins in the folder's lib/: no search path of the build machine, and none that an old RPATH
# would hand down to what they load.
search_path() {
    readelf -d "$1" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\1 \2/p' | tr '\n' ' '
}
[ "$(search_path "$program_folder/orbisto")" = 'RUNPATH $ORIGIN/lib ' ] ||
    fail "the executable's library search path is '$(search_path "$program_folder/orbisto")'"
while IFS= read -r file; do
    case $file in
    lib/*) expected_path='RUNPATH $ORIGIN ' ;;
    *) expected_path='RUNPATH $ORIGIN/../../lib ' ;;
    esac
    [ "$(search_path "$program_folder/$file")" = "$expected_path" ] ||
        fail "$file has the library search path '$(search_path "$program_folder/$file")'"
done < <(cd "$program_folder" && find lib plugins -type f)
for plugin in platforms/libqxcb.so platforms/libqwayland-generic.so wayland-shell-integration/libxdg-shell.so; do
    [ -f "$program_folder/plugins/$plugin" ] || fail "plugins/$plugin is missing"
done
grep -qx 'Plugins = plugins' "$program_folder/qt.conf" || fail "qt.conf does not point at plugins/: $(cat "$program_folder/qt.conf")"
source_root=$(realpath "$(dirname "$0")/../..")
if grep -rlF --exclude=orbisto -- "$source_root" "$program_folder"; then
    fail "files of the program folder name the source folder $source_root"
fi

export HOME="$work/home"
export XDG_DATA_HOME="$work/data home"
mkdir -p "$HOME" "$XDG_DATA_HOME"
entry="$XDG_DATA_HOME/applications/orbisto.desktop"

# The value of a key of the entry's main group, with the string escapes undone.
entry_value() {
    local line
    line=$(grep -m1 "^$1=" "$entry") || return 1
    line=${line#*=}
    line=${line//\\\\/$'\x01'}
    line=${line//\\s/ }
    printf '%s' "${line//$'\x01'/\\}"
}

# Exec's single quoted argument, unquoted: the quotes go, \X becomes X and %% becomes %.
exec_program() {
    local value
    value=$(entry_value Exec) || return 1
    [[ "$value" = \"*\" ]] || { echo "Exec is not one quoted argument: $value" >&2; return 1; }
    value=${value:1:-1}
    value=$(sed -e 's/\\\(.\)/\1/g' -e 's/%%/%/g' <<<"$value")
    printf '%s' "$value"
}

# Checks the entry and the icons written for the unpacked folder.
check_written() {
    [ -f "$entry" ] || fail "no menu entry $entry"
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
    [ "$(exec_program)" = "$program_folder/orbisto" ] || fail "Exec runs '$(exec_program)'"
    [ "$(entry_value Path)" = "$program_folder" ] || fail "Path is '$(entry_value Path)'"
    [ "$(entry_value Icon)" = orbisto ] || fail "Icon is '$(entry_value Icon)'"
    [ "$(entry_value Categories)" = "Game;Utility;" ] || fail "Categories is '$(entry_value Categories)'"
    for key in Name Comment 'Comment\[de\]' 'Comment\[pl\]'; do
        [ -n "$(entry_value "$key")" ] || fail "the entry has no $key"
    done
    for size in 16 32 48 64 128 256; do
        cmp -s "$program_folder/icons/orbisto-$size.png" "$XDG_DATA_HOME/icons/hicolor/${size}x$size/apps/orbisto.png" ||
            fail "the ${size}x$size icon is missing or differs from the shipped one"
    done
    cmp -s "$program_folder/icons/orbisto.svg" "$XDG_DATA_HOME/icons/hicolor/scalable/apps/orbisto.svg" ||
        fail "the scalable icon is missing or differs from the shipped one"
    [ -z "$(find "$XDG_DATA_HOME" -name '.orbisto.*')" ] || fail "a temporary file was left behind"
}

# Run from another working folder: the script finds the program beside itself.
cd "$work"
"$program_folder/install-desktop-entry" >/dev/null || fail "install-desktop-entry failed"
check_written
"$program_folder/install-desktop-entry" >/dev/null || fail "a second run failed"
check_written
"$program_folder/install-desktop-entry" --remove >/dev/null || fail "--remove failed"
left=$(find "$XDG_DATA_HOME" -mindepth 1)
[ -z "$left" ] || fail "--remove left behind: $left"

# Files of other programs stay.
mkdir -p "$XDG_DATA_HOME/applications" "$XDG_DATA_HOME/icons/hicolor/48x48/apps"
echo other >"$XDG_DATA_HOME/applications/other.desktop"
echo other >"$XDG_DATA_HOME/icons/hicolor/48x48/apps/other.png"
"$program_folder/install-desktop-entry" >/dev/null && "$program_folder/install-desktop-entry" --remove >/dev/null ||
    fail "install and remove beside other programs' files failed"
left=$(cd "$XDG_DATA_HOME" && find . -type f | LC_ALL=C sort | tr '\n' ' ')
[ "$left" = "./applications/other.desktop ./icons/hicolor/48x48/apps/other.png " ] ||
    fail "other programs' files changed: $left"

# Without XDG_DATA_HOME, or with a relative one (not valid), the entry goes to ~/.local/share.
XDG_DATA_HOME=relative "$program_folder/install-desktop-entry" >/dev/null || fail "run without XDG_DATA_HOME failed"
[ -f "$HOME/.local/share/applications/orbisto.desktop" ] || fail "no entry in ~/.local/share"
[ ! -e "$work/relative" ] || fail "a relative XDG_DATA_HOME was used"
env -u XDG_DATA_HOME "$program_folder/install-desktop-entry" --remove >/dev/null
[ -z "$(find "$HOME" -mindepth 1 -not -name .local -not -name share)" ] || fail "--remove left files in ~/.local/share"

# A copy of the script without the program beside it refuses and writes nothing.
mkdir "$work/lonely"
cp "$program_folder/install-desktop-entry" "$work/lonely/"
if "$work/lonely/install-desktop-entry" 2>"$work/lonely.err"; then
    fail "the script ran without a program beside it"
fi
grep -q "no program orbisto" "$work/lonely.err" || fail "unclear message: $(cat "$work/lonely.err")"
[ ! -e "$XDG_DATA_HOME/applications/orbisto.desktop" ] || fail "an entry was written for a folder without the program"
echo "PASSED: menu entry valid for $program_folder, icons at six sizes, removed without a trace"
