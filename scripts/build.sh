#!/usr/bin/env bash
# Configures and builds QMX80NET-PC into build/ (or $QMX_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${QMX_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${QMX_BUILD_TYPE:-RelWithDebInfo}" -DQMX_WERROR=ON "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
