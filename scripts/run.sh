#!/usr/bin/env bash
# Builds the program (Release) and runs it on the shipped map. Extra arguments
# go to the program, e.g. --screen 480x640 --dpi 192.
#
# Without --config or --documents it shows the demo drive across Voradu in
# Driving mode: a fresh copy of the build's demo folder becomes the run's
# "\My Documents" and registry, so each run starts the drive from its
# beginning and leaves the user's own settings alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/release}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAVENOR_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j "$(nproc)"

for arg in "$@"; do
  case "$arg" in
    --config|--documents) exec "$BUILD/travenor" "$@" ;;
  esac
done
DEMO="$BUILD/demo-run"
rm -rf "$DEMO"
cp -r "$BUILD/data/Demo" "$DEMO"
exec "$BUILD/travenor" --documents "$DEMO" --config "$DEMO/registry.ini" --driving-mode "$@"
