#!/usr/bin/env bash
# Builds the formula-engine fuzz target with clang (address and undefined-behaviour sanitizers)
# and runs it for a bounded time over the committed seed corpus. Exits non-zero on any finding.
#   scripts/fuzz.sh [seconds]      (default 60)
# The target is built from fuzz/ on its own, so neither Qt nor libxlsxwriter is needed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
build="${TESSALINE_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 calc_fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$build/artifacts"

# New inputs go to the scratch corpus; the committed seeds are only read.
"$build/calc_fuzz" "$work/corpus" "$root/fuzz/corpus" \
  -max_total_time="$seconds" -max_len=9000 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1
echo "fuzz: no findings in ${seconds}s"
