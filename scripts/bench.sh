#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs each of them.
#   scripts/bench.sh [--region] [BENCHMARK OPTIONS...]
# --region instead draws the generated cities of about 10k, 100k and 500k road
# nodes, compiles them (printing the compile time and peak memory of each) and
# prints the table of how the costs of routing, snapping and drawing grow with
# the size of a map.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-shared-data.sh benchmarks
bash scripts/setup-deps.sh

region=0
args=()
for a in "$@"; do
  if [ "$a" = --region ]; then region=1; else args+=("$a"); fi
done

BUILD=${BUILD_DIR:-build/bench}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAVENOR_TESTS=OFF -DTRAVENOR_BENCH=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy

if [ "$region" = 1 ]; then
  dir="$BUILD/region"
  mkdir -p "$dir"
  : >"$dir/compile.txt"
  for size in 10000 100000 500000; do
    name="city$((size / 1000))k"
    "$BUILD/tools/voradu/travenor_voradu" --nodes "$size" "$dir/$name.osm"
    # Compile time in seconds and peak resident memory in kilobytes.
    /usr/bin/time -f "$name %e %M" -a -o "$dir/compile.txt" \
      "$BUILD/tools/mapc/travenor_mapc" --title "$name" "$dir/$name.osm" "$dir/$name.tzx"
    rm -f "$dir/$name.osm"
  done
  while read -r name seconds kb; do
    echo "$name: compiled in $seconds s, peak memory $((kb / 1024)) MiB"
  done <"$dir/compile.txt"
  if [ -x "$BUILD/bench/region_bench" ]; then
    "$BUILD/bench/region_bench" "$dir" "${args[@]}"
  fi
  exit 0
fi

for b in "$BUILD"/bench/*_bench; do
  [ -x "$b" ] || continue
  [ "$(basename "$b")" = region_bench ] && continue
  echo "== $(basename "$b")"
  "$b" "${args[@]}"
done
