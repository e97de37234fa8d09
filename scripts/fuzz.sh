#!/usr/bin/env bash
# Builds the fuzz targets with clang (address and undefined-behaviour sanitizers) and runs each
# over its committed seed corpus: calc_fuzz (the formula engine, fuzz/corpus), readers_fuzz
# (equation files and the saved list, fuzz/corpus-readers), run_fuzz (the whole graphing run,
# every written workbook checked to be well-formed XML, fuzz/run_corpus) and writer_fuzz (the
# writer with failing writes and thread starts, fuzz/writer_corpus). Exits non-zero on any finding.
#   scripts/fuzz.sh [seconds]      timed fuzzing (default 60)
#   scripts/fuzz.sh --runs N       a fixed number of runs from a fixed seed: the same every time
# The targets are built from fuzz/ on its own; calc_fuzz needs no library, readers_fuzz Qt Core,
# run_fuzz Qt Core, zlib and expat, writer_fuzz zlib and expat (both are left out, with a note,
# where they are missing).
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
targets=(calc_fuzz readers_fuzz)
ninja -C "$build" -t targets all | grep '^run_fuzz:' >/dev/null && targets+=(run_fuzz writer_fuzz)
ninja -C "$build" -j2 "${targets[@]}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"

# New inputs go to a scratch corpus; the committed seeds are only read.
fuzz() {  # target, committed corpus, max_len, runs scaled down by
  local target="$1" seeds="$2" max_len="$3" scale="$4" run_limit=("${limit[@]}")
  if [ "${run_limit[0]%%=*}" = "-runs" ]; then
    run_limit[0]="-runs=$(( ${run_limit[0]#-runs=} / scale + 1 ))"
  fi
  mkdir -p "$work/$target"
  "$build/$target" "$work/$target" "$seeds" \
    "${run_limit[@]}" -max_len="$max_len" -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1
}
fuzz calc_fuzz "$root/fuzz/corpus" 9000 1
fuzz readers_fuzz "$root/fuzz/corpus-readers" 9000 1
# A whole run writes a workbook: it is slower by far than one formula, so it gets fewer runs.
[[ " ${targets[*]} " == *" run_fuzz "* ]] && fuzz run_fuzz "$root/fuzz/run_corpus" 2000 40
# The writer with failing writes and thread starts: a small workbook each run.
[[ " ${targets[*]} " == *" writer_fuzz "* ]] && fuzz writer_fuzz "$root/fuzz/writer_corpus" 2000 20
echo "fuzz: no findings in ${what} (${targets[*]})"
