#!/usr/bin/env bash
# Sets everything up, then starts the player in its per-user data folder (its working directory).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
top=$(pwd)
data="${XDG_DATA_HOME:-$HOME/.local/share}/talvex-player"
mkdir -p "$data"
cd "$data"
exec "$top/build/app/talvex-player" "$@"
