#!/usr/bin/env bash
# The Windows archive unpacks to one folder named like itself that holds exactly orbisto.exe,
# balls\, Languages\, logo.jpg and ReadMe.txt, the shipped files unchanged; orbisto.exe is a 64-bit
# Windows GUI program.
#   bash windows_zip.sh <Orbisto-…-Windows-x86_64.zip> <the repository's data folder>
set -euo pipefail
archive=$(realpath "${1:?usage: bash $0 <archive.zip> <data folder>}")
data=$(realpath "${2:?usage: bash $0 <archive.zip> <data folder>}")

work=$(mktemp -d /tmp/orbisto-zip.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

(cd "$work" && cmake -E tar xf "$archive") || fail "could not unpack $archive"
name=$(basename "$archive" .zip)
[ "$(ls -A "$work")" = "$name" ] || fail "the archive holds $(ls -A "$work" | tr '\n' ' ')instead of one folder $name"
folder="$work/$name"

[ "$(ls -A "$folder" | sort | tr '\n' ' ')" = "Languages ReadMe.txt balls logo.jpg orbisto.exe " ] ||
    fail "the folder holds $(ls -A "$folder" | sort | tr '\n' ' ')"
for shipped in balls Languages logo.jpg ReadMe.txt; do
    diff -r "$data/$shipped" "$folder/$shipped" >/dev/null || fail "$shipped differs from $data/$shipped"
done
kind=$(file -b "$folder/orbisto.exe")
[[ "$kind" == "PE32+ executable (GUI) x86-64"* ]] || fail "orbisto.exe is a \"$kind\""
echo "PASSED: $name holds orbisto.exe ($kind), balls, Languages, logo.jpg and ReadMe.txt"
