#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, as root. Quiet and quick when all is there.
set -euo pipefail

pkgs=(
    cmake make g++ googletest libgtest-dev clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine64 xvfb xserver-xephyr xauth x11-utils xdotool imagemagick
    fonts-ipafont-gothic fonts-wine locales
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    sox libsox-fmt-mp3 python3 procps
)

missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes its ANSI code page from the glibc locale: without ja_JP.UTF-8 it falls back to 1252.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
