#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite through CTest, then builds the fuzz targets and runs
# each for 10 s over its seed corpus (any crash, sanitizer report or broken invariant fails).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DQMX_BUILD_TESTS=ON
build_dir=${QMX_BUILD_DIR:-build}
(cd "$build_dir" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
bash scripts/fuzz.sh --seconds "${QMX_FUZZ_SECONDS:-10}"
