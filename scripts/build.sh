#!/usr/bin/env bash
# Configures and builds the game, the data generator and the tests into build/
# (BUILD_DIR elsewhere; CMAKE_ARGS adds configure options). Arguments name the
# targets to build instead of all of them, e.g. test_programs.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
# shellcheck disable=SC2086
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$BUILD_DIR" -j"$(nproc)" --target "$@"
else
  cmake --build "$BUILD_DIR" -j"$(nproc)"
fi
