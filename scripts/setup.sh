#!/usr/bin/env bash
# Installs every Debian package the project needs and the ja_JP.UTF-8
# locale. Quick when everything is already there.
set -euo pipefail

packages=(
    cmake g++ make googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
    g++-mingw-w64-x86-64 wine wine64
    xvfb xauth xdotool imagemagick fonts-ipafont-gothic locales
    cups cups-bsd printer-driver-cups-pdf poppler-utils tesseract-ocr-jpn zip unzip
    libpython3.11-testsuite
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
