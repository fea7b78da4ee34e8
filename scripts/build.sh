#!/usr/bin/env bash
# Builds Install.exe (and, unless HOLTER_BUILD_TESTS=OFF, the test programs) into build/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${HOLTER_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=${HOLTER_BUILD_TYPE:-Release} \
  -DHOLTER_BUILD_TESTS=${HOLTER_BUILD_TESTS:-ON} >/dev/null
cmake --build "$build" "$@"
