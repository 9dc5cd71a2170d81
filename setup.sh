#!/usr/bin/env bash
# ./setup.sh run   installs the dependencies, builds and starts gyrolume
# ./setup.sh test  installs the dependencies, builds and runs every test
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
packages=(
    build-essential cmake ninja-build pkg-config python3
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    qt6-svg-dev libqt6svg6 qt6-image-formats-plugins libgl-dev
    libvlc-dev vlc-plugin-base libopencv-core-dev
    fonts-wqy-microhei xvfb xauth
    dosfstools exfatprogs fusefat exfat-fuse
    desktop-file-utils appstream
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${packages[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"

case "$mode" in
    run) exec build/src/gyrolume ;;
    test) cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac
