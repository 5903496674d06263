#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs each of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-shared-data.sh benchmarks
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/bench}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAVENOR_TESTS=OFF -DTRAVENOR_BENCH=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
for b in "$BUILD"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
