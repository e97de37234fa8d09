#!/usr/bin/env bash
# Set-up, build, and run every test (unit, integration, read-back, the writer's tests under
# ThreadSanitizer, and the fuzz target over its corpus for a fixed number of runs; timed fuzzing
# is scripts/fuzz.sh on its own).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
# The writer's threads under ThreadSanitizer: only the writer is compiled again for it. Without
# address randomisation, which newer kernels make too wide for this ThreadSanitizer.
cmake -S . -B build -DTESSALINE_TSAN=ON >/dev/null
cmake --build build -j"$(nproc)" --target tests_xlsx_tsan
TSAN_OPTIONS=halt_on_error=1 setarch "$(uname -m)" -R build/tests/xlsx/tests_xlsx_tsan --gtest_brief=1
scripts/fuzz.sh --runs 20000
