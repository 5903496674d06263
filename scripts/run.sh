#!/usr/bin/env bash
# Builds the program (Release) and runs it on the shipped map. Extra arguments
# go to the program, e.g. --screen 480x640 --dpi 192.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAVENOR_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
exec "$BUILD/travenor" "$@"
