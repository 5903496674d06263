#!/usr/bin/env bash
# Formats every C++ source of the repository with the project's .clang-format,
# or, with --check, lists the files that differ from it and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format: clang-format is not installed (scripts/setup-deps.sh installs it)" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = "--check" ]; then
  # Many files per clang-format run, several runs at once; each difference is
  # reported as "FILE:LINE:COL: error: code should be clang-formatted".
  mapfile -t bad < <(printf '%s\0' "${files[@]}" |
    xargs -0 -n 50 -P "$(nproc)" clang-format --dry-run -Werror 2>&1 >/dev/null |
    sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (run scripts/format.sh): %s\n' "${bad[@]}"
    exit 1
  fi
  exit 0
fi
clang-format -i "${files[@]}"
