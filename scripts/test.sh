#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test
# headless; in CI it then soaks the demonstration race for two minutes. With
# SANITIZE=1 (as CI runs it) it then builds again under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
JOBS="$(nproc)"

BUILD_DIR="${BUILD_DIR:-build}" CMAKE_ARGS="-DTRALLOWMERE_WERROR=ON -DTRALLOWMERE_SANITIZE=OFF" bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$JOBS" --timeout 600

# The demonstration race behind the menu for two minutes, once, on the normal
# build: in CI, or when SOAK_SECONDS asks for it (scripts/soak.sh).
if [ -n "${SOAK_SECONDS:-}" ] || [ "${CI:-}" = true ]; then
  BUILD_DIR="${BUILD_DIR:-build}" bash scripts/soak.sh "${SOAK_SECONDS:-120}" --min-races 3
fi

if [ "${SANITIZE:-0}" = 1 ]; then
  SAN_DIR="${SANITIZE_BUILD_DIR:-build-sanitize}"
  BUILD_DIR="$SAN_DIR" CMAKE_ARGS="-DTRALLOWMERE_WERROR=ON -DTRALLOWMERE_SANITIZE=ON" bash scripts/build.sh
  # The GL driver is loaded and unloaded by SDL: what it leaks is suppressed by
  # its module, never the game's own allocations.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --test-dir "$SAN_DIR" --output-on-failure -j"$JOBS" --timeout 900
fi
