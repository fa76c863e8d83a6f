#!/usr/bin/env bash
# Runs every test of a build folder through CTest: engine, widget (offscreen),
# end-to-end (Xvfb) tests. Fails when no test ran. Each test sets the
# locale it needs itself (the GUI and end-to-end tests pin German).
# Usage: scripts/test.sh [build-dir] [extra ctest arguments...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$root/build"}
shift || true
ctest --test-dir "$build_dir" --output-on-failure --no-tests=error \
  -j "${TEST_JOBS:-2}" "$@"
