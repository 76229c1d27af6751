# Set-up shared by the release tests: sourced with the path of the release archive as $1.
# Unpacks it into a fresh temporary folder, under a parent folder whose name needs quoting in a
# menu entry (blank, ampersand, dollar, non-ASCII letters), and checks the program folder's layout.
# $program_folder is the unpacked folder; $work is removed at the end.

archive=$(realpath "${1:?usage: bash $0 <release archive> ...}")
[ -f "$archive" ] || { echo "FAILED: no release archive $archive" >&2; exit 1; }

work=$(mktemp -d /tmp/orbisto-release.XXXXXX)
# A test that starts programs defines stop_programs, which runs first.
finish() {
    if [ "$(type -t stop_programs)" = function ]; then
        stop_programs
    fi
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

parent="$work/Spiele & Bälle \$HOME"
mkdir -p "$parent"
tar -xzf "$archive" -C "$parent" || fail "could not unpack $archive"
# One folder, named like the archive.
mapfile -t unpacked < <(ls -A "$parent")
[ "${#unpacked[@]}" -eq 1 ] && [ "${unpacked[0]}" = "$(basename "$archive" .tar.gz)" ] ||
    fail "the archive holds ${unpacked[*]} instead of one folder $(basename "$archive" .tar.gz)"
program_folder="$parent/${unpacked[0]}"

# What the program ships beside it, with the libraries and Qt plugins it carries, and nothing of
# the build (tests, tools, build files).
expected="ReadMe.txt Languages balls icons install-desktop-entry lib logo.jpg orbisto plugins qt.conf"
found=$(ls "$program_folder" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')
[ "$found" = "$(tr ' ' '\n' <<<"$expected" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')" ] ||
    fail "the program folder holds \"$found\", expected \"$expected\""
[ -x "$program_folder/orbisto" ] && [ -x "$program_folder/install-desktop-entry" ] ||
    fail "orbisto or install-desktop-entry is not executable"
