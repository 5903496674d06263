#!/usr/bin/env bash
# Formats every C++ source of the repository with the project's .clang-format,
# or, with --check, lists the files that differ from it and exits 1.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if [ "${1:-}" = "--check" ]; then
  bad=()
  for f in "${files[@]}"; do
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
  done
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'not formatted (run scripts/format.sh): %s\n' "${bad[@]}"
    exit 1
  fi
  exit 0
fi
clang-format -i "${files[@]}"
