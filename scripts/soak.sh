#!/usr/bin/env bash
# Runs the demonstration race behind the menu, race after race, headless for
# a given time and reports every minute: frames, races finished/started,
# non-finite positions or velocities, stuck racers and resident memory. Fails
# on a non-finite value, a stuck racer or memory growth after the first races.
#
#   bash scripts/soak.sh [SECONDS] [soak options...]
#
# SECONDS defaults to 3600. Further options go to the soak program (see
# tools/SoakMain.cpp), e.g. --device gl to draw with OpenGL, --report 10.
# BUILD_DIR (default build) is where the program is built and its demo data
# made (in soakdata/, apart from the tests' data).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
SECONDS_TO_RUN="${1:-3600}"
shift || true
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  bash scripts/setup.sh
  cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" -j"$(nproc)" --target soak datagen >/dev/null

DATA="$BUILD_DIR/soakdata"
if [ ! -f "$DATA/.generated" ] || [ "$BUILD_DIR/datagen" -nt "$DATA/.generated" ]; then
  rm -rf "$DATA"
  "$BUILD_DIR/datagen" "$DATA" >/dev/null
  touch "$DATA/.generated"
fi

export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}" ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
echo "soak: the demonstration race for ${SECONDS_TO_RUN} s"
exec "$BUILD_DIR/soak" "$DATA" --seconds "$SECONDS_TO_RUN" "$@"
