#!/usr/bin/env bash
# Builds the fuzz targets with clang and sanitizers and runs each for a while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
"$here/scripts/install-deps.sh" --fuzz
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMOVILIBRO_FUZZ=ON -DMOVILIBRO_BUILD_TESTS=OFF -DMOVILIBRO_BUILD_BENCH=OFF
fi
cmake --build "$build" --target fuzz_dialect fuzz_format fuzz_statement -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
for target in fuzz_dialect fuzz_format fuzz_statement; do
  corpus=$build/corpus-$target
  mkdir -p "$corpus"
  echo "== $target, $seconds s"
  "$build/bin/$target" "$corpus" -max_total_time="$seconds" -max_len=512 -timeout=5 -print_final_stats=1 2>&1 |
    grep -E 'stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY|Done' || true
done
