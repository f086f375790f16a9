#!/usr/bin/env bash
# Checks that the C++ sources follow .clang-format; with --fix, rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "Format check: ${#files[@]} files follow .clang-format."
