# A bare Debian 12 system for the release tests: a minimal root (mmdebstrap --variant=minbase) plus
# only the packages cmake/linux-system-libraries.txt leaves to the system, and a way to run a
# command in it. The root is made once per machine, in a folder outside any checkout
# ($ORBISTO_BARE_ROOT_CACHE, default /var/cache/orbisto-test-root), named by a hash of its recipe,
# so a changed package list makes a new one and every clone on the machine shares it. Runs never
# write into the root: each sees it read-only with a /tmp of its own.
# Needs root (mmdebstrap, mount, chroot). Sourced; the caller defines fail.

bare_root_cache=${ORBISTO_BARE_ROOT_CACHE:-/var/cache/orbisto-test-root}
bare_root_suite=bookworm
bare_root_mirror=http://deb.debian.org/debian
bare_root_list="$(dirname "${BASH_SOURCE[0]}")/../../cmake/linux-system-libraries.txt"

# The packages of the list, comma-separated.
bare_root_packages() {
    awk '!/^#/ && NF {print $1}' "$bare_root_list" | paste -sd, -
}

# The library names the list leaves to the system, one a line.
bare_root_system_libraries() {
    awk '!/^#/ && NF {for (i = 2; i <= NF; i++) print $i}' "$bare_root_list"
}

# The mmdebstrap arguments before the target folder; their hash names the root.
bare_root_recipe() {
    printf '%s\n' --variant=minbase --mode=root --include="$(bare_root_packages)" \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' --aptopt='Acquire::Languages "none"' \
        "$bare_root_suite"
}

# Prints the folder of the root for the current recipe, making it first when there is none yet.
# Concurrent callers wait for one another; a half-made root is never used.
bare_root_ensure() {
    local recipe name root made status
    mapfile -t recipe < <(bare_root_recipe)
    name=root-$(printf '%s\n' "${recipe[@]}" "$bare_root_mirror" | sha256sum | cut -c1-16)
    root=$bare_root_cache/$name
    mkdir -p "$bare_root_cache" || return 1
    (
        flock 9
        if [ ! -f "$root.done" ]; then
            echo "Making the bare Debian 12 root $root (once per machine)..." >&2
            made=$bare_root_cache/making-$name
            rm -rf "$made" "$root"
            # In a mount namespace of its own: whatever mmdebstrap mounts inside the new root goes
            # away with it even when it is interrupted, so removing a half-made root never reaches
            # this machine's /proc or /dev.
            unshare --mount --propagation private -- \
                mmdebstrap --quiet "${recipe[@]}" "$made" "$bare_root_mirror" >&2 || exit 1
            mv "$made" "$root"
            printf '%s\n' "${recipe[@]}" >"$root.done"
            # Roots of earlier recipes no run has used for a week.
            find "$bare_root_cache" -maxdepth 1 -name 'root-*.done' -mtime +7 -print | while read -r old; do
                rm -rf "${old%.done}" "$old"
            done
        fi
        touch "$root.done"
    ) 9>"$bare_root_cache/lock"
    status=$?
    [ "$status" -eq 0 ] || return "$status"
    echo "$root"
}

# Runs a command in the root with a clean environment, as root: the root read-only, /proc and /dev
# of this machine, a fresh /tmp holding the caller's folder $2 at the same path (so paths mean the
# same inside and out) and this machine's X sockets (/tmp/.X11-unix). Every mount is private to the
# command and goes away with it. The command replaces the calling shell: run it in the background
# (its PID is then $!) or in a command substitution.
#   bare_root_run <root> <shared folder> [NAME=value...] <command> [arguments...]
bare_root_run() {
    local root=$1 shared=$2 view=$2/.bare-view
    shift 2
    mkdir -p "$view"
    exec unshare --mount --propagation private -- bash -c '
        set -e
        root=$1 shared=$2 view=$3
        shift 3
        mount --bind "$root" "$view"
        mount -o remount,bind,ro "$view"
        mount -t proc proc "$view/proc"
        mount --rbind /dev "$view/dev"
        mount -t tmpfs -o mode=1777 tmpfs "$view/tmp"
        mkdir -p "$view$shared" "$view/tmp/.X11-unix"
        mount --bind "$shared" "$view$shared"
        mount --bind /tmp/.X11-unix "$view/tmp/.X11-unix"
        exec chroot "$view" /usr/bin/env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
    ' bare-root "$root" "$shared" "$view" "$@"
}
