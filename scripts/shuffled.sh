#!/usr/bin/env bash
# Runs every test program whole, each in one process, its tests in a shuffled
# order: a test that leans on what an earlier one left behind (settings, a
# loaded area, the clock, a device's limits) fails here although CTest, which
# starts a process per test, passes it.
#
#   bash scripts/shuffled.sh [SEED]
#
# SEED (default: a random one, printed) is GoogleTest's shuffle seed; the same
# seed gives the same order again. BUILD_DIR (default build) holds the built
# test programs and the demo data CTest made (its make_demo_data test). Each
# program gets the environment and working folder CTest gives the tests that
# read the demo data, so the whole program runs, demo data tests included.
# The programs run side by side, JOBS (default: the processor count) at a
# time, each for at most TIMEOUT seconds (default 1800); a failing program's
# output is printed and the run fails.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
SEED="${1:-$((RANDOM % 100000 + 1))}"
JOBS="${JOBS:-$(nproc)}"
TIMEOUT="${TIMEOUT:-1800}"

# CTest's environment for the demo data tests, as CMakeLists.txt wrote it.
ENV_FILE="$BUILD_DIR/test_app_environment.cmake"
TEST_ENV="$(sed -n 's/.*ENVIRONMENT "\([^"]*\)").*/\1/p' "$ENV_FILE" 2>/dev/null | head -n 1 || true)"
if [ -z "$TEST_ENV" ]; then
  echo "shuffled: no test environment in $ENV_FILE (configure and build first)" >&2
  exit 1
fi
IFS=';' read -r -a ENV_VARS <<<"$TEST_ENV"
for var in "${ENV_VARS[@]}"; do
  case "$var" in
  TRALLOWMERE_TESTDATA=*)
    if [ ! -d "${var#*=}/Data" ]; then
      echo "shuffled: no demo data in ${var#*=} (run CTest's make_demo_data first)" >&2
      exit 1
    fi
    ;;
  esac
done

# The biggest programs, which run longest, start first.
mapfile -t PROGRAMS < <(find "$BUILD_DIR" -maxdepth 1 -type f -name 'test_*' -perm -u+x -printf '%s %p\n' |
  sort -rn | cut -d' ' -f2-)
if [ "${#PROGRAMS[@]}" -eq 0 ]; then
  echo "shuffled: no test programs in $BUILD_DIR" >&2
  exit 1
fi

LOGS="$(mktemp -d)"
trap 'rm -rf "$LOGS"' EXIT
echo "shuffled: ${#PROGRAMS[@]} test programs, seed $SEED, $JOBS at a time" \
  "(again: bash scripts/shuffled.sh $SEED)"

# One program whole: its log and exit code under $LOGS. The full play-through
# that CI asks CTest for has run by now; here the short one stands in for it.
# This script's own settings stay out of the programs' environment, as they
# stay out of CTest's.
run_one() {
  local program="$1" name status=0 started="$SECONDS"
  name="$(basename "$program")"
  (cd "$BUILD_DIR" && env -u TRALLOWMERE_PLAYTHROUGH_PLAN -u BUILD_DIR -u JOBS -u TIMEOUT "${ENV_VARS[@]}" \
    timeout "$TIMEOUT" "$program" --gtest_shuffle \
    --gtest_random_seed="$SEED" >"$LOGS/$name.log" 2>&1) || status=$?
  echo "$status" >"$LOGS/$name.status"
  echo "  $name: $(grep -E '^\[  (PASSED|FAILED)  \] [0-9]+ tests?' "$LOGS/$name.log" | tr '\n' ' ')(exit $status, $((SECONDS - started)) s)"
}

for program in "${PROGRAMS[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do
    wait -n || true
  done
  run_one "$program" &
done
wait

failed=0
for program in "${PROGRAMS[@]}"; do
  name="$(basename "$program")"
  if [ "$(cat "$LOGS/$name.status" 2>/dev/null || echo 1)" != 0 ]; then
    failed=1
    echo "== $name failed with seed $SEED:"
    grep -E '^\[  FAILED  \]|Failure|^Note: Randomizing' "$LOGS/$name.log" | head -n 60 || true
    echo "-- the last lines of its output:"
    tail -n 30 "$LOGS/$name.log"
  fi
done
if [ "$failed" != 0 ]; then
  echo "shuffled: a test program failed run whole with seed $SEED" >&2
  exit 1
fi
echo "shuffled: every test program passed whole with seed $SEED"
