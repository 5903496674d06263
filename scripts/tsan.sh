#!/usr/bin/env bash
# Builds the test programs with ThreadSanitizer and runs them: the threads of
# the base (platform, drawlib, ui, kernel) and of the application (every
# application subsystem's test program that exists). Qt and GLib are not
# instrumented; tests/support/tsan.supp keeps their insides out of the reports,
# so any report is a race of ours. A probe first checks that such a race is
# still reported. Exit status 0 only when no program reported anything.
#   scripts/tsan.sh [PROGRAM...]    e.g. scripts/tsan.sh kernel_tests
# Logs: build/tsan/tsan-logs/<program>.log. JOBS bounds the parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-shared-data.sh tests
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/tsan}
JOBS=${JOBS:-$(nproc)}
SUPP=$PWD/tests/support/tsan.supp
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTSAN=ON -DSANITIZE=OFF -DTRAVENOR_TESTS=ON >/dev/null

programs=("$@")
if [ ${#programs[@]} -eq 0 ]; then
  targets=$(ninja -C "$BUILD" -t targets all)
  for dir in platform drawlib ui kernel app nav gps controls search traffic settings; do
    if grep -q "^${dir}_tests:" <<<"$targets"; then
      programs+=("${dir}_tests")
    fi
  done
fi

# The resource generator runs Qt's thread pool while the build runs.
TSAN_OPTIONS="suppressions=$SUPP exitcode=0" \
  cmake --build "$BUILD" -j "$JOBS" --target tsan_race_probe "${programs[@]}"

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export TSAN_OPTIONS="suppressions=$SUPP second_deadlock_stack=1 ${TSAN_EXTRA_OPTIONS:-}"
logs=$BUILD/tsan-logs
mkdir -p "$logs"

if "$BUILD/tests/tsan/tsan_race_probe" >"$logs/race_probe.log" 2>&1 \
  || ! grep -q "WARNING: ThreadSanitizer: data race" "$logs/race_probe.log"; then
  echo "tsan: the probe's race was not reported; the suppressions hide our own races" >&2
  exit 1
fi

run() {
  local program=$1
  if (cd "$BUILD/tests" && "./$program") >"$logs/$program.log" 2>&1; then
    echo "ok      $program"
  else
    echo "FAILED  $program (status $?, $(grep -c 'WARNING: ThreadSanitizer' "$logs/$program.log") reports," \
      "see $logs/$program.log)"
    return 1
  fi
}
export -f run
export BUILD logs
printf '%s\n' "${programs[@]}" | xargs -P "$JOBS" -I{} bash -c 'run {}'
