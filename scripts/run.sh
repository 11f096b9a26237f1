#!/usr/bin/env bash
# Sets up, builds and starts QMX80NET-PC with the virtual transducer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build_dir=${QMX_BUILD_DIR:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found; starting on a virtual X server (xvfb-run)" >&2
  exec xvfb-run -a "$build_dir/bin/qmx80net-pc" --simulate "$@"
fi
exec "$build_dir/bin/qmx80net-pc" --simulate "$@"
