#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test through CTest, headless: no display, sound card or network.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/check-shared-data.sh tests
bash scripts/setup-deps.sh

BUILD=${BUILD_DIR:-build/test}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DTRAVENOR_TESTS=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS"

export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$BUILD" -j "$JOBS" --output-on-failure --timeout 300 "$@"
