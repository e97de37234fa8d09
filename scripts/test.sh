#!/usr/bin/env bash
# Set-up, build, and run every test (unit, integration, read-back, and the fuzz target over its
# corpus for a fixed number of runs; timed fuzzing is scripts/fuzz.sh on its own).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
scripts/fuzz.sh --runs 20000
