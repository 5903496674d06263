#!/usr/bin/env bash
# Every header of the kernel's interface compiles on its own (included twice,
# as a caller might) and pulls in nothing of the kernel's insides: only other
# headers of kernel/api/ and the standard library.
# The application's own sources include none of those insides either.
# Usage: headers_alone.sh CXX SOURCE_DIR
set -uo pipefail
cxx=$1
src=$2
failed=0
cd "$src" || exit 1
inside=$(grep -rnE '#include "kernel/(doc|render|router)/' app nav gps controls search traffic settings main.cpp \
  2>/dev/null)
if [ -n "$inside" ]; then
  echo "the application includes the kernel's insides, not kernel/api/:"
  echo "$inside"
  failed=1
fi
for header in "$src"/kernel/api/*.h; do
  name=${header#"$src"/}
  text=$(printf '#include "%s"\n#include "%s"\n' "$name" "$name")
  if ! errors=$(printf '%s\n' "$text" | "$cxx" -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I"$src" -x c++ - 2>&1); then
    echo "$name does not compile alone:"
    echo "$errors" | head -5
    failed=1
    continue
  fi
  # The user headers it includes, directly or through others.
  deps=$(printf '%s\n' "$text" | "$cxx" -std=c++20 -MM -I"$src" -x c++ - 2>/dev/null | tr ' \\' '\n\n' \
    | grep -E '^'"$src"'/' | sed "s|^$src/||" | grep -v '^kernel/api/' || true)
  if [ -n "$deps" ]; then
    echo "$name includes what lies outside kernel/api/: $(echo $deps)"
    failed=1
  fi
done
exit $failed
