#!/usr/bin/env bash
# Installs the Debian packages the project needs and the ja_JP.UTF-8 locale.
#   scripts/setup.sh         everything: building, the tests, benchmarks, fuzzing
#   scripts/setup.sh build   only what building the program and its zip needs
# Quick, and asks for no root, when everything is already there.
set -euo pipefail

mode=${1:-all}
case "$mode" in
    all | build) ;;
    *)
        echo "usage: scripts/setup.sh [build]" >&2
        exit 2
        ;;
esac

build_packages=(cmake g++ make g++-mingw-w64-x86-64 zip git)
test_packages=(
    googletest libgtest-dev libbenchmark-dev clang python3
    wine wine64 xvfb xauth xdotool imagemagick fonts-ipafont-gothic locales
    cups cups-bsd printer-driver-cups-pdf poppler-utils tesseract-ocr-jpn unzip
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

updated=
install_missing() {
    local p missing=()
    for p in "$@"; do
        installed "$p" || missing+=("$p")
    done
    [ "${#missing[@]}" -gt 0 ] || return 0
    echo "setup: installing ${missing[*]}"
    if [ -z "$updated" ]; then
        "${sudo_cmd[@]}" apt-get update -qq
        updated=yes
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
}

if [ "$mode" = build ]; then
    install_missing "${build_packages[@]}"
    exit 0
fi
install_missing "${build_packages[@]}" "${test_packages[@]}"

# Packages named after the versions just installed: libFuzzer's runtime for
# the clang at hand, where clang does not carry it already, and the codec
# samples of the Python at hand, which the Wine encoding tests read.
versioned=()
if [ ! -f "$(clang -print-file-name=libclang_rt.fuzzer-x86_64.a)" ]; then
    versioned+=("libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev")
fi
# Debian's own Python, not one a version manager puts first on the path.
versioned+=("libpython$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')-testsuite")
install_missing "${versioned[@]}"

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "setup: generating the ja_JP.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
