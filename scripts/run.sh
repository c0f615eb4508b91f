#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vantrel on the bundled example design.
# Without a display it runs under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
design="$PWD/examples/browser-matrix.test"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a build/app/vantrel "$design"
fi
exec build/app/vantrel "$design"
