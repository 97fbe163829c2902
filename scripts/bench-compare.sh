#!/usr/bin/env bash
# The demonstration race behind the menu (bench/bench_demo_race.cpp: 14
# racers, 800 x 600, on the software renderer) of two builds side by side:
# each ref is checked out into its own git worktree under /tmp, built there
# with the same benchmark source (this tree's bench_demo_race.cpp and
# PixelQuery.h, so both measure alike) and given its own demo data from its own generator. The
# runs alternate between the two builds on the same cores, at the first-start
# settings and at every option's limit, on 2 cores (LP_NUM_THREADS=2, pinned
# with taskset) and on 8, and the script prints each build's median frame
# time, the speed-up (base time / new time) and the counts that do not
# depend on the machine's load: pixels shaded, draw calls and triangles a frame.
#
#   scripts/bench-compare.sh [BASE_REF [NEW_REF]]
#
# BASE_REF defaults to the commit before NEW_REF, NEW_REF to HEAD. Settings:
#   ROUNDS=3          runs of each build per line (the median is taken)
#   CORES2=2,3        the two cores of the 2-core lines
#   CORES8=0-7        the cores of the 8-core lines
#   THREADS="2 8"     which lines to run
#   SETTINGS="0 1"    0 the first start, 1 every option at its limit
#   AREAS=0           demo areas (0, 1, 2)
#   KEEP=1            keeps the worktrees (they are reused when present)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
NEW_REF="${2:-HEAD}"
BASE_REF="${1:-$NEW_REF~1}"
ROUNDS="${ROUNDS:-3}"
CORES2="${CORES2:-2,3}"
CORES8="${CORES8:-0-7}"
THREADS="${THREADS:-2 8}"
SETTINGS="${SETTINGS:-0 1}"
AREAS="${AREAS:-0}"
# The benchmark's own files, copied into both trees.
BENCH_FILES="bench/bench_demo_race.cpp bench/PixelQuery.h"

base_sha="$(git rev-parse --short "$BASE_REF^{commit}")"
new_sha="$(git rev-parse --short "$NEW_REF^{commit}")"
OUT="$(mktemp -d /tmp/bench-compare.XXXXXX)"
echo "base $BASE_REF ($base_sha), new $NEW_REF ($new_sha); results in $OUT" >&2

# Worktree, build and demo data of one ref; prints the build folder.
prepare() {
  local sha="$1" dir="/tmp/trallowmere-bench-$1"
  if [ ! -d "$dir" ]; then
    git worktree add --detach "$dir" "$sha" >/dev/null 2>&1
  fi
  for f in $BENCH_FILES; do cp "$ROOT/$f" "$dir/$f"; done
  echo "building $sha in $dir/build (log: $dir/build/compare-build.log) ..." >&2
  mkdir -p "$dir/build"
  if ! { cmake -S "$dir" -B "$dir/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
         cmake --build "$dir/build" -j"$(nproc)" --target bench_demo_race datagen; } \
       >"$dir/build/compare-build.log" 2>&1; then
    tail -30 "$dir/build/compare-build.log" >&2
    exit 1
  fi
  if [ ! -f "$dir/build/testdata/.generated" ] || [ "$dir/build/datagen" -nt "$dir/build/testdata/.generated" ]; then
    "$dir/build/datagen" "$dir/build/testdata" >/dev/null
    touch "$dir/build/testdata/.generated"
  fi
  echo "$dir/build"
}

BASE_BUILD="$(prepare "$base_sha")"
NEW_BUILD="$(prepare "$new_sha")"

export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null

run_one() {   # build label threads cores settings area round
  local build="$1" label="$2" threads="$3" cores="$4" settings="$5" area="$6" round="$7"
  local out="$OUT/${label}_t${threads}_s${settings}_a${area}_r${round}.json"
  TRALLOWMERE_TESTDATA="$build/testdata" LP_NUM_THREADS="$threads" \
    taskset -c "$cores" "$build/bench_demo_race" \
    --benchmark_filter="BM_DemoRace/settings:${settings}/area:${area}/racers:14/" \
    --benchmark_format=json --benchmark_out="$out" --benchmark_out_format=json >/dev/null 2>"$out.log" ||
    echo "run failed: $out.log" >&2
}

for threads in $THREADS; do
  cores="$CORES8"
  [ "$threads" = 2 ] && cores="$CORES2"
  for settings in $SETTINGS; do
    for area in $AREAS; do
      for round in $(seq 1 "$ROUNDS"); do
        echo "cores $threads, settings $settings, area $area, round $round ..." >&2
        # The order alternates, so neither build always runs first.
        if [ $((round % 2)) = 1 ]; then
          run_one "$BASE_BUILD" base "$threads" "$cores" "$settings" "$area" "$round"
          run_one "$NEW_BUILD" new "$threads" "$cores" "$settings" "$area" "$round"
        else
          run_one "$NEW_BUILD" new "$threads" "$cores" "$settings" "$area" "$round"
          run_one "$BASE_BUILD" base "$threads" "$cores" "$settings" "$area" "$round"
        fi
      done
    done
  done
done

python3 - "$OUT" "$base_sha" "$new_sha" <<'PY'
import glob, json, os, re, statistics, sys
out, base_sha, new_sha = sys.argv[1:4]
runs = {}
for path in glob.glob(os.path.join(out, "*.json")):
    m = re.match(r"(base|new)_t(\d+)_s(\d+)_a(\d+)_r(\d+)\.json", os.path.basename(path))
    if not m:
        continue
    try:
        b = [x for x in json.load(open(path))["benchmarks"] if not x.get("error_occurred")][0]
    except Exception:
        continue
    key = (int(m.group(2)), int(m.group(3)), int(m.group(4)))
    runs.setdefault(key, {}).setdefault(m.group(1), []).append(b)

def med(rows, name):
    values = [r[name] for r in rows if name in r]
    return statistics.median(values) if values else float("nan")

names = {0: "first start", 1: "maximum"}
print("demonstration race, 14 racers, 800 x 600: base %s, new %s" % (base_sha, new_sha))
print("%-5s %-12s %-4s %5s | %9s %9s %7s | %6s %6s | %9s %9s | %6s %6s | %s" % (
    "cores", "settings", "area", "runs", "base ms", "new ms", "speedup", "b fps", "n fps",
    "b pixels", "n pixels", "b draw", "n draw", "options new (dist/shadow/glow/blur)"))
for key in sorted(runs):
    threads, settings, area = key
    base, new = runs[key].get("base", []), runs[key].get("new", [])
    if not base or not new:
        print("%-5d %-12s %-4d  missing runs" % (threads, names.get(settings, settings), area))
        continue
    bm, nm = med(base, "median_ms"), med(new, "median_ms")
    opts = "/".join("%d" % new[0].get(k, -1) for k in ("distance", "shadows", "glow", "blur"))
    print("%-5d %-12s %-4d %2d/%-2d | %9.1f %9.1f %6.2fx | %6.1f %6.1f | %8.2fM %8.2fM | %6.0f %6.0f | %s" % (
        threads, names.get(settings, settings), area, len(base), len(new), bm, nm, bm / nm, 1000 / bm, 1000 / nm,
        med(base, "pixels_shaded") / 1e6, med(new, "pixels_shaded") / 1e6,
        med(base, "draw_calls"), med(new, "draw_calls"), opts))
print("CPU a frame over every thread (ms), base / new:")
for key in sorted(runs):
    base, new = runs[key].get("base", []), runs[key].get("new", [])
    if base and new:
        print("  cores %d %-12s area %d: %.1f / %.1f" % (key[0], names.get(key[1], key[1]), key[2],
                                                        med(base, "cpu_ms"), med(new, "cpu_ms")))
PY

if [ "${KEEP:-0}" != 1 ]; then
  git worktree remove --force "/tmp/trallowmere-bench-$base_sha" >/dev/null 2>&1 || true
  git worktree remove --force "/tmp/trallowmere-bench-$new_sha" >/dev/null 2>&1 || true
fi
