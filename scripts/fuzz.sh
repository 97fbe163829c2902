#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
# Usage: scripts/fuzz.sh NAME [SECONDS]   (NAME as in fuzz/fuzz_NAME.cpp)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if ! command -v clang++ >/dev/null || ! dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
fi
name="$1"; secs="${2:-180}"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DTRALLOWMERE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "fuzz_$name"
mkdir -p "fuzz/corpus/$name" build-fuzz/work/"$name"
# New finds go to a scratch folder; copy the interesting ones into the corpus by hand.
SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null "build-fuzz/fuzz_$name" -max_total_time="$secs" \
  -artifact_prefix=build-fuzz/ build-fuzz/work/"$name" "fuzz/corpus/$name"
