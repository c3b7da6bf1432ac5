#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing and builds the player in build/ (Release).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config qtbase5-dev libqt5svg5-dev qtwebengine5-dev
          libqt5charts5-dev libqt5networkauth5-dev libmpv-dev libjs-leaflet ffmpeg
          fonts-liberation2 fonts-noto-cjk xvfb xauth libcpp-httplib-dev libxtst-dev ccache
          libcurl4-openssl-dev ca-certificates zlib1g-dev
          openssl # the network tests' self-signed certificate
          mpv) # mpv: the playback benchmark's anchor
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
