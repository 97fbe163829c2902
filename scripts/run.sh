#!/usr/bin/env bash
# Installs what is missing, builds the game and the generator, makes the demo
# data when it is missing or older than the generator, has the graphics driver
# compile the game's shaders once per build, and starts the game in run/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The game and the data generator only; the test command builds the rest.
BUILD_TARGETS="trallowmere datagen" bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"
mkdir -p run
if [ ! -f run/Data/.generated ] || [ "$BUILD_DIR/datagen" -nt run/Data/.generated ]; then
  "$BUILD_DIR/datagen" run
  touch run/Data/.generated
fi
# The software renderer compiles each shader the first time it draws with it
# (about two seconds for the first frame) and keeps what it compiled in the
# user's driver cache. Once per build, a headless start in a scratch folder
# compiles them, so the player's own first start opens the menu at once. It
# touches nothing in run/ (settings, saves, the start count).
marker="$BUILD_DIR/.shaders-compiled"
if [ ! -f "$marker" ] || [ "$BUILD_DIR/trallowmere" -nt "$marker" ] || [ run/Data/.generated -nt "$marker" ]; then
  scratch="$(mktemp -d)"
  ln -s "$PWD/run/Data" "$scratch/Data"
  mkdir -m 700 "$scratch/runtime"
  game="$(cd "$BUILD_DIR" && pwd)/trallowmere"
  (cd "$scratch" && SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null XDG_RUNTIME_DIR="$scratch/runtime" \
    TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES=3 timeout 300 "$game" >/dev/null 2>&1) || true
  rm -rf "$scratch"
  touch "$marker"
fi
cd run
exec "../$BUILD_DIR/trallowmere"
