#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo data when it is missing or
# older than the generator, and starts the game in run/.
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
cd run
exec "../$BUILD_DIR/trallowmere"
