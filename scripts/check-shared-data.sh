#!/usr/bin/env bash
# Stops the tests and benchmarks at once, with one line saying what to put
# where, when the shared data folder beside the repository is missing.
#   scripts/check-shared-data.sh WHAT      (WHAT: "tests" or "benchmarks")
set -euo pipefail
cd "$(dirname "$0")/.."
data=$(cd .. && pwd)/shared/data
if [ ! -d "$data/osm" ] || [ ! -d "$data/nmea" ]; then
  echo "${1:-tests}: the shared test data is missing: put the folder with osm/ (OpenStreetMap extracts) and nmea/ (receiver logs) at $data" >&2
  exit 1
fi
