#!/usr/bin/env bash
# Builds the fuzz targets with clang (address and undefined-behaviour sanitizers) and runs each
# over its committed seed corpus: calc_fuzz (the formula engine, fuzz/corpus) and readers_fuzz
# (equation files and the saved list, fuzz/corpus-readers). Exits non-zero on any finding.
#   scripts/fuzz.sh [seconds]      timed fuzzing (default 60)
#   scripts/fuzz.sh --runs N       a fixed number of runs from a fixed seed: the same every time
# The targets are built from fuzz/ on their own: calc_fuzz needs neither Qt nor libxlsxwriter.
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
targets=(calc_fuzz:corpus readers_fuzz:corpus-readers)
ninja -C "$build" -j2 "${targets[@]%%:*}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"

for target in "${targets[@]}"; do
  name=${target%%:*} corpus=${target#*:}
  mkdir -p "$work/$name"
  # New inputs go to the scratch corpus; the committed seeds are only read.
  "$build/$name" "$work/$name" "$root/fuzz/$corpus" \
    "${limit[@]}" -max_len=9000 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$name-" -print_final_stats=1
  echo "fuzz: $name: no findings in ${what}"
done
