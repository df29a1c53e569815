#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine. Returns at once when all is there.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    wine wine32:i386
    xvfb x11-apps xauth xdotool imagemagick mscompress
    fonts-dejavu-core fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null || true)
    [[ "$status" == ii* ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}" >&2
SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
