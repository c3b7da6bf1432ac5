#!/usr/bin/env bash
# Runs a command under xvfb-run on a display number that no X server of this machine holds:
#   bash scripts/xvfb.sh [XVFB-RUN OPTIONS] COMMAND...
# xvfb-run -a looks only for lock files in /tmp, but an X server also listens on an abstract
# socket, and abstract sockets are shared by everything in the network namespace, chroots
# included. In a chroot with a /tmp of its own, xvfb-run sees none of the host's locks: it tries
# the numbers the host's servers hold one after another and, past ten, runs the command without a
# server of its own, on a number that another server holds. /proc/net/unix lists every listening
# X socket of the namespace, so the first number from 99 up with neither a lock file nor a socket
# goes to xvfb-run, whose -a still moves on should another server take that number first.
set -euo pipefail
held=$(grep -oE '/tmp/\.X11-unix/X[0-9]+$' /proc/net/unix 2>/dev/null | sed 's/.*X//' | sort -un ||
    true)
display=99
while [ -e "/tmp/.X$display-lock" ] || grep -qx "$display" <<<"$held"; do
    display=$((display + 1))
done
exec xvfb-run -n "$display" -a "$@"
