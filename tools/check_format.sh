#!/usr/bin/env bash
# Checks that every C++ source of the project is laid out as .clang-format
# says, and names each place that is not; exits non-zero if any is found.
# To lay a file out: clang-format -i FILE (or `git clang-format` for the
# lines of a change).
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cc' '*.h'
else
  find src tests fuzz bench -name '*.cc' -print0 -o -name '*.h' -print0
fi | xargs -0 clang-format --dry-run --Werror
