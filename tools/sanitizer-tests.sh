#!/usr/bin/env bash
# tools/sanitizer-tests.sh address|thread [REGEX]
# Builds the tests (those whose names match REGEX, else all) with the address and
# undefined-behaviour sanitizers or with the thread sanitizer in build-asan/ or build-tsan/,
# and runs them. Only the test programs and what they need are built. The programs that
# run while building come from the plain tree build/ when it has them (./setup.sh made it),
# else from an uninstrumented build of their own.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitizer=${1:?usage: $0 address|thread [REGEX]}
regex=${2:-}
case "$sanitizer" in
    address) dir=build-asan ;;
    thread) dir=build-tsan ;;
    *) echo "usage: $0 address|thread [REGEX]" >&2; exit 2 ;;
esac

options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DGYROLUME_SANITIZE="$sanitizer")
if [ -f build/build.ninja ]; then
    cmake --build build --target gyrolume-cli gyrolume-imagegen >/dev/null
    options+=(-DGYROLUME_BUILD_TOOLS_DIR="$PWD/build")
fi
cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null

# Every test program is a target of the same name.
mapfile -t tests < <(cd "$dir" && ctest -N ${regex:+-R "$regex"} | sed -n 's/^ *Test *#[0-9]*: //p')
if [ "${#tests[@]}" -eq 0 ]; then
    echo "no test matches '$regex'" >&2
    exit 1
fi
cmake --build "$dir" --parallel "$(nproc)" --target "${tests[@]}"
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" ${regex:+-R "$regex"}
