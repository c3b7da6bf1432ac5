#!/usr/bin/env bash
# Runs a CI command on a commit of this repository inside a Debian 12 chroot, as root with a clean
# environment: proof that the README's commands hold on a fresh system.
#   bash scripts/chroot-ci.sh CHROOT [COMMIT [COMMAND]]
# CHROOT is made once with `debootstrap --variant=minbase bookworm CHROOT`; COMMIT defaults to
# HEAD, COMMAND to "bash .ci/run". The commit's files go to /root/talvex in the chroot (replaced on
# every run; the packages setup.sh installs stay). Run it under `taskset -c 0-3` to use 4 cores.
set -euo pipefail
root=$(realpath "${1:?usage: chroot-ci.sh CHROOT [COMMIT [COMMAND]]}")
commit=${2:-HEAD}
command=${3:-bash .ci/run}
cd "$(dirname "$0")/.."
[ -x "$root/usr/bin/apt-get" ] || { echo "no Debian system in $root" >&2; exit 1; }

mounted=()
unmount() {
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
}
trap unmount EXIT
mountAt() { # mountAt TARGET MOUNT-ARGS...
    local target=$root$1
    shift
    mountpoint -q "$target" && return
    mount "$@" "$target"
    mounted+=("$target")
}
mountAt /proc -t proc proc
mountAt /sys -t sysfs sysfs
mountAt /dev --bind /dev
mountAt /dev/pts --bind /dev/pts
mountAt /dev/shm -t tmpfs -o mode=1777 tmpfs
# X servers share one socket namespace with the host: xvfb-run must see the host's display locks.
mountAt /tmp --bind /tmp

rm -rf "$root/root/talvex"
mkdir -p "$root/root/talvex"
git archive "$commit" | tar -x -C "$root/root/talvex"
echo "chroot-ci: $(git rev-parse --short "$commit") in $root on $(nproc) cores: $command"
SECONDS=0
status=0
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
    chroot "$root" bash -c "cd /root/talvex && $command" || status=$?
echo "chroot-ci: exit $status after ${SECONDS} s"
exit "$status"
