#!/usr/bin/env bash
# Runs every fuzz target side by side for a given time each (default 300 s),
# each from its starting inputs and what earlier runs of this build learnt.
# An input that crashes a target, leaks, runs out of memory or time is kept in
# the target's finds folder in the source tree, where the ordinary test build
# replays it: fix the fault, then commit the input with the fix.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. scripts/fuzz.sh 60 tzx zxg
# JOBS: how many targets run at once (default: all of them, at most nproc).
# The targets are those the build registers (travenor_fuzz_target in
# tests/CMakeLists.txt), so new ones are picked up without changing this script.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-shared-data.sh tests
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/fuzz}
TIME=${1:-300}
[ $# -gt 0 ] && shift
ROOT=$PWD
# Optimised, with assertions and every sanitizer check kept.
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
  -DFUZZ=ON -DSANITIZE=ON -DTRAVENOR_TESTS=ON >/dev/null

# name, fuzzer target, fuzzer file, seeder target, seeder file, corpus, finds
mapfile -t lines < <(grep -v '^$' "$BUILD/fuzz_targets.txt")
selected=()
targets=()
for line in "${lines[@]}"; do
  IFS='|' read -r name fuzzer _ seeder _ _ _ <<<"$line"
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then
    continue
  fi
  selected+=("$line")
  targets+=("$fuzzer")
  [ -n "$seeder" ] && targets+=("$seeder")
done
if [ ${#selected[@]} -eq 0 ]; then
  echo "fuzz: no target named ${*:-at all} (have: $(cut -d'|' -f1 "$BUILD/fuzz_targets.txt" | tr '\n' ' '))" >&2
  exit 1
fi
JOBS=${JOBS:-$(( ${#selected[@]} < $(nproc) ? ${#selected[@]} : $(nproc) ))}
cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$ROOT/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export BUILD TIME
logs=$BUILD/fuzz-logs
mkdir -p "$logs"
export logs

fuzz_one() {
  IFS='|' read -r name _ fuzzer _ seeder corpus finds <<<"$1"
  local work=$BUILD/fuzz-corpus/$name log=$logs/$name.log before
  mkdir -p "$work" "$finds"
  [ -n "$seeder" ] && "$seeder" --seeds "$work" >/dev/null
  before=$(ls "$finds" | wc -l)
  local status=0
  "$fuzzer" -max_total_time="$TIME" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$finds/" "$work" ${corpus:+"$corpus"} $([ "$finds" != "$corpus" ] && echo "$finds") \
    >"$log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  local found=$(( $(ls "$finds" | wc -l) - before ))
  if [ "$status" -eq 0 ] && [ "$found" -eq 0 ]; then
    printf '%-16s %12s runs  nothing new\n' "$name" "${runs:-?}"
  else
    printf '%-16s %12s runs  FOUND %d (status %d): %s, log %s\n' "$name" "${runs:-?}" "$found" "$status" \
      "$finds" "$log"
    return 1
  fi
}
export -f fuzz_one

echo "fuzzing ${#selected[@]} targets for $TIME s each, $JOBS at a time"
printf '%s\n' "${selected[@]}" | xargs -d '\n' -P "$JOBS" -I{} bash -c 'fuzz_one "$1"' _ {}
