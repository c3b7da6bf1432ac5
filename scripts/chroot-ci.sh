#!/usr/bin/env bash
# Runs a CI command on a commit of this repository inside a Debian 12 chroot, as root with a clean
# environment: proof that the README's commands hold on a fresh system.
#   bash scripts/chroot-ci.sh [--plain] CHROOT [COMMIT [COMMAND]]
# CHROOT is made once with `debootstrap --variant=minbase bookworm CHROOT` (remove it only with
# `rm -rf --one-file-system`); COMMIT defaults to HEAD, COMMAND to "bash .ci/run". The commit's
# files go to /root/talvex in the chroot (replaced on every run; the packages setup.sh installs
# stay). Run it under `taskset -c 0-3` to use 4 cores.
# By default the chroot gets /proc, /sys, binds of /dev and /dev/pts, a tmpfs at /dev/shm and a
# bind of the host's /tmp. --plain (or CHROOT_CI_PLAIN=1) mounts only /proc, /sys and the binds
# of /dev and /dev/pts, as build systems set up their chroots: /dev/shm is then the bound /dev's
# own folder and /tmp a folder of the chroot: with a CHROOT that is no mount point itself, the
# kernel lists no mount above /tmp there.
set -euo pipefail
plain=${CHROOT_CI_PLAIN:-0}
if [ "${1:-}" = --plain ]; then
    plain=1
    shift
fi
root=$(realpath "${1:?usage: chroot-ci.sh [--plain] CHROOT [COMMIT [COMMAND]]}")
commit=${2:-HEAD}
command=${3:-bash .ci/run}
cd "$(dirname "$0")/.."
[ -x "$root/usr/bin/apt-get" ] || { echo "no Debian system in $root" >&2; exit 1; }

# Every mount below the chroot is taken down at exit, also those an earlier run left: a bind of
# the host's /dev left behind would let a later `rm -rf CHROOT` empty the host's /dev.
unmountAll() {
    findmnt -rn -o TARGET | { grep -F "$root/" || true; } | sort -r | while read -r target; do
        umount -l "$target" || true
    done
}
unmountAll
trap unmountAll EXIT
mountAt() { # mountAt TARGET MOUNT-ARGS...
    local target=$root$1
    shift
    mount "$@" "$target"
    mount --make-private "$target" # nothing mounted below it reaches the host's tree
}
mountAt /proc -t proc proc
mountAt /sys -t sysfs sysfs
mountAt /dev --bind /dev
mountAt /dev/pts --bind /dev/pts
if [ "$plain" != 1 ]; then
    mountAt /dev/shm -t tmpfs -o mode=1777 tmpfs
    # X servers share one socket namespace with the host: with its /tmp, xvfb-run sees the host's
    # display locks too (scripts/xvfb.sh looks for the servers' sockets either way).
    mountAt /tmp --bind /tmp
fi

rm -rf "$root/root/talvex"
mkdir -p "$root/root/talvex"
git archive "$commit" | tar -x -C "$root/root/talvex"
mode=$([ "$plain" = 1 ] && echo plain || echo "with /dev/shm and the host's /tmp")
echo "chroot-ci: $(git rev-parse --short "$commit") in $root ($mode) on $(nproc) cores: $command"
SECONDS=0
status=0
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    chroot "$root" bash -c "cd /root/talvex && $command" || status=$?
echo "chroot-ci: exit $status after ${SECONDS} s"
exit "$status"
