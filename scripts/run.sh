#!/usr/bin/env bash
# Installs what is missing, builds, and starts VestrelWin in its working folder (run/),
# where vestrel.cfg, the layouts, temp.tmp and the logs live.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build -DVESTREL_TESTS=OFF -DVESTREL_BENCH=OFF
mkdir -p run
cp -rn data/. run/ 2>/dev/null || true
cd run
exec ../build/VestrelWin "$@"
