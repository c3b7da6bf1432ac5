#!/usr/bin/env bash
# Sets everything up, then starts the player from the folder the user is in; the player itself
# works in its per-user data folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
exec "$top/build/app/talvex-player" "$@"
