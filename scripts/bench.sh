#!/usr/bin/env bash
# Builds, makes the demo data the benchmarks read, runs every benchmark
# program headless and prints one table of the figures. Works from any
# folder. Arguments are passed to every program (for example
# --benchmark_filter=Frame or --benchmark_min_time=0.1); BENCH names a
# subset of programs (for example BENCH="bench_race bench_device").
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac
cd "$ROOT"
bash scripts/setup.sh
mkdir -p "$BUILD_DIR"
echo "building into $BUILD_DIR (log: $BUILD_DIR/bench-build.log) ..." >&2
BUILD_DIR="$BUILD_DIR" bash scripts/build.sh >"$BUILD_DIR/bench-build.log" 2>&1 || { tail -30 "$BUILD_DIR/bench-build.log"; exit 1; }

DATA="$BUILD_DIR/testdata"
if [ ! -f "$DATA/.generated" ] || [ "$BUILD_DIR/datagen" -nt "$DATA/.generated" ]; then
  "$BUILD_DIR/datagen" "$DATA" >/dev/null
  touch "$DATA/.generated"
fi

export SDL_VIDEODRIVER="${SDL_VIDEODRIVER:-offscreen}"
export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
export TRALLOWMERE_TESTDATA="$DATA"
export TRALLOWMERE_SOURCE="$ROOT"
export TRALLOWMERE_BUILD="$BUILD_DIR"

OUT="$BUILD_DIR/bench-results"
mkdir -p "$OUT"
rm -f "$OUT"/*.json
programs="${BENCH:-$(cd "$BUILD_DIR" && ls bench_* 2>/dev/null | grep -v '\.' || true)}"
for p in $programs; do
  echo "running $p ..." >&2
  # Each program runs in a scratch folder of its own, so any file it writes
  # stays out of the tree.
  work="$OUT/$p.work"
  mkdir -p "$work"
  if ! (cd "$work" && "$BUILD_DIR/$p" --benchmark_format=console --benchmark_out="$OUT/$p.json" \
          --benchmark_out_format=json "$@" >"$OUT/$p.log" 2>&1); then
    echo "$p failed; see $OUT/$p.log" >&2
  fi
done

python3 - "$OUT" <<'PY'
import glob, json, os, sys
rows = []
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.json"))):
    try:
        data = json.load(open(path))
    except Exception:
        continue
    program = os.path.basename(path)[:-5]
    for b in data.get("benchmarks", []):
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "mean":
            continue
        skip = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads", "iterations",
                "real_time", "cpu_time", "time_unit", "family_index", "per_family_instance_index",
                "aggregate_name", "aggregate_unit", "error_occurred", "error_message"}
        counters = ", ".join("%s=%.4g" % (k, v) for k, v in b.items() if k not in skip and isinstance(v, (int, float)))
        if b.get("error_occurred"):
            counters = "ERROR: " + b.get("error_message", "")
        rows.append((program, b["name"], "%.4g %s" % (b["real_time"], b["time_unit"]),
                     "%.4g %s" % (b["cpu_time"], b["time_unit"]), counters))
if not rows:
    print("no benchmark results")
    sys.exit(1)
widths = [max(len(r[i]) for r in rows + [("program", "benchmark", "real time", "CPU time", "")]) for i in range(4)]
head = ("program", "benchmark", "real time", "CPU time", "counters")
print("  ".join(h.ljust(widths[i]) if i < 4 else h for i, h in enumerate(head)))
for r in rows:
    print("  ".join(c.ljust(widths[i]) if i < 4 else c for i, c in enumerate(r)))
PY
