#!/usr/bin/env bash
# Builds the formula-engine fuzz target with clang (address and undefined-behaviour sanitizers)
# and runs it over the committed seed corpus. Exits non-zero on any finding.
#   scripts/fuzz.sh [seconds]      timed fuzzing (default 60)
#   scripts/fuzz.sh --runs N       a fixed number of runs from a fixed seed: the same every time
# The target is built from fuzz/ on its own, so neither Qt nor libxlsxwriter is needed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${1:-}" = "--runs" ]; then
  limit=(-runs="${2:?--runs needs a number}" -seed=1)
  what="${2} runs"
else
  limit=(-max_total_time="${1:-60}")
  what="${1:-60}s"
fi
build="${TESSALINE_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja >/dev/null
ninja -C "$build" -j2 calc_fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$build/artifacts"

# New inputs go to the scratch corpus; the committed seeds are only read.
"$build/calc_fuzz" "$work/corpus" "$root/fuzz/corpus" \
  "${limit[@]}" -max_len=9000 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$build/artifacts/" -print_final_stats=1
echo "fuzz: no findings in ${what}"
