#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DQMX_BUILD_TESTS=ON
build_dir=${QMX_BUILD_DIR:-build}
cd "$build_dir"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
