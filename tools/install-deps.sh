#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those that are missing.
set -euo pipefail

packages=(
    cmake ninja-build pkg-config g++ clang-14 libclang-rt-14-dev
    qt6-base-dev libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev
    libx11-dev libxext-dev libxtst-dev libxrandr-dev libx11-xcb-dev libxcb-shm0-dev libxcb-damage0-dev libxcb-randr0-dev
    xvfb xauth x11-utils xdotool imagemagick trayer fonts-dejavu-core
    libwayland-dev libwayland-bin wayland-protocols qt6-wayland dpkg-dev sway grim wtype dbus-daemon dbus-bin
    # GNOME and KDE Plasma through the desktop portals: the compositors headless, PipeWire, the portals, gdbus, and
    # the accessibility bus through which the tests answer GNOME's consent dialog and read the program's own windows.
    libpipewire-0.3-dev mutter kwin-wayland pipewire wireplumber xdg-desktop-portal xdg-desktop-portal-gnome
    xdg-desktop-portal-kde qtwayland5 libglib2.0-bin at-spi2-core python3-gi gir1.2-atspi-2.0
)
# The core alone on the in-memory backend (make check): no Qt, no X.
[ "${1:-}" = "--core" ] && packages=(cmake ninja-build pkg-config g++ libpugixml-dev libgtest-dev libgmock-dev)
[ "${1:-}" = "--bench" ] && packages+=(libopencv-dev)
# The packages: dependencies found from the binary (dpkg-shlibdeps, file), the checks, and rpmbuild for the .rpm.
[ "${1:-}" = "--package" ] && packages+=(dpkg-dev file lintian desktop-file-utils appstream rpm)
# The Windows cross build: the compiler, Wine to run its tests, and what unpacks Debian source packages.
[ "${1:-}" = "--windows" ] && packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 fonts-wine googletest dpkg-dev
    xvfb xauth x11-utils xdotool trayer)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
