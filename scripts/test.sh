#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test
# headless, then every test program whole with its tests shuffled; in CI it
# then soaks the demonstration race for two minutes. With SANITIZE=1 (as CI
# runs it) it then builds again under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ and runs every test there.
#
# With CI=true a test that cannot run (no video driver, no demo data, a
# program not built) fails instead of being skipped, and so does a run in
# which CTest reports any test that did not run. Each step prints its wall
# and processor time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
# CI plays the whole career through, with the restart and the records after
# it, in place of the short play-through (PlayThroughDemoDataTest), on the
# normal build; under the sanitizers the whole career takes some 14 minutes,
# so that run keeps the short plan.
if [ "${CI:-}" = true ]; then
  export TRALLOWMERE_PLAYTHROUGH_PLAN="${TRALLOWMERE_PLAYTHROUGH_PLAN:-full}"
fi
JOBS="$(nproc)"
TIMEFORMAT="%R s wall, %U s user, %S s system"

step() {
  echo "== $1"
}

# CTest with its arguments. CTest counts a skipped test as passed; in CI the
# run fails if any test did not run.
run_ctest() {
  local log status=0
  log="$(mktemp)"
  ctest "$@" 2>&1 | tee "$log" || status=$?
  if [ "${CI:-}" = true ] && grep -q "The following tests did not run:" "$log"; then
    echo "CI: every test must run; the tests listed above did not." >&2
    status=1
  fi
  rm -f "$log"
  return "$status"
}

step "normal build"
time BUILD_DIR="${BUILD_DIR:-build}" BUILD_TARGETS="" CMAKE_ARGS="-DTRALLOWMERE_WERROR=ON -DTRALLOWMERE_SANITIZE=OFF" \
  bash scripts/build.sh
step "normal tests"
time run_ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$JOBS" --timeout 600
# Every test program again, each whole in one process with its tests in a
# shuffled order (scripts/shuffled.sh): what one test leaves behind must not
# change another. A new seed each run, printed, unless SHUFFLE_SEED names one;
# CI keeps one seed, so that a commit is never failed by an order it did not
# bring (bash scripts/shuffled.sh tries others).
if [ "${CI:-}" = true ]; then
  SHUFFLE_SEED="${SHUFFLE_SEED:-1}"
fi
step "shuffled tests"
time BUILD_DIR="${BUILD_DIR:-build}" JOBS="$JOBS" bash scripts/shuffled.sh ${SHUFFLE_SEED:+"$SHUFFLE_SEED"}

# The demonstration race behind the menu for two minutes, once, on the normal
# build: in CI, or when SOAK_SECONDS asks for it (scripts/soak.sh).
if [ -n "${SOAK_SECONDS:-}" ] || [ "${CI:-}" = true ]; then
  step "soak"
  time BUILD_DIR="${BUILD_DIR:-build}" bash scripts/soak.sh "${SOAK_SECONDS:-120}" --min-races 3
fi

if [ "${SANITIZE:-0}" = 1 ]; then
  SAN_DIR="${SANITIZE_BUILD_DIR:-build-sanitize}"
  # Only what the tests run: the test programs, the fuzz replays, the game,
  # the generator and the play-through.
  step "sanitizer build"
  time BUILD_DIR="$SAN_DIR" BUILD_TARGETS=test_programs \
    CMAKE_ARGS="-DTRALLOWMERE_WERROR=ON -DTRALLOWMERE_SANITIZE=ON" bash scripts/build.sh
  # The GL driver is loaded and unloaded by SDL: what it leaks is suppressed by
  # its module, never the game's own allocations. The programs' own defaults
  # (platform/os/ModulePin.cpp) keep the leak check off the driver's
  # thread-local blocks, whose bounds GCC 12's checker misreads.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  step "sanitizer tests"
  time TRALLOWMERE_PLAYTHROUGH_PLAN="${SANITIZE_PLAYTHROUGH_PLAN:-short}" run_ctest --test-dir "$SAN_DIR" --output-on-failure -j"$JOBS" --timeout 900
fi
