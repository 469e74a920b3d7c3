#!/usr/bin/env bash
# Each width's byte searches must keep their code to themselves: a function
# that the AVX2 file and another file both define (an inline helper of a
# shared header) is compiled for AVX2 in one of them, and the linker may
# keep that copy for everyone, so code meant for any processor would then
# run AVX2 instructions. At -O0 nothing is inlined, so every such function
# shows as a global or weak symbol of the width's object file; only the
# table of searches itself may be global.
#
# Usage: wide_search_linkage.sh <C++ compiler> <source root>
set -euo pipefail

[[ $# -eq 2 ]] || { echo "usage: $0 <C++ compiler> <source root>" >&2; exit 2; }
compiler=$1
root=$2
if ! command -v nm >/dev/null; then
  echo "SKIP: nm is not installed; it lists the object files' symbols"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for width in sse2 avx2; do
  flags=()
  [[ $width == avx2 ]] && flags=(-mavx2)
  object=$work/search_$width.o
  "$compiler" -std=c++20 -O0 "${flags[@]}" -DCORVEXA_WIDE_SEARCH -I"$root/src" \
    -c "$root/src/scan/search_$width.cc" -o "$object"
  # Global symbols other than data (D, R, B, and u for inline variables).
  shared=$(nm -C --defined-only --extern-only "$object" | awk '$2 !~ /^[DRBu]$/')
  if [[ -n $shared ]]; then
    echo "search_$width.cc defines code that other files could share:"
    echo "$shared"
    status=1
  fi
done
exit "$status"
