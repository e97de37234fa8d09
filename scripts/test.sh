#!/usr/bin/env bash
# Set-up, build, and run every test (unit, integration, read-back, fuzzing for a bounded time).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j2
if [ -x scripts/fuzz.sh ]; then scripts/fuzz.sh; fi
