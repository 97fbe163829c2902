#!/usr/bin/env bash
# Configures and builds the game, the data generator and the tests into build/
# (BUILD_DIR elsewhere; CMAKE_ARGS adds configure options; BUILD_TARGETS builds
# only those targets).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
# shellcheck disable=SC2086
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_ARGS:-} >/dev/null
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" -j"$(nproc)" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
