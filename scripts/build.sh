#!/usr/bin/env bash
# Configures and builds Velmaro.
# Usage: scripts/build.sh [build-dir] [extra cmake arguments...]
# Environment: BUILD_TYPE (default RelWithDebInfo), JOBS (default: all cores).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$root/build"}
shift || true
generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi
# Keep the generator of an existing build folder.
if [ -f "$build_dir/CMakeCache.txt" ]; then
  generator=()
fi
cmake -S "$root" -B "$build_dir" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build_dir" -j "${JOBS:-$(nproc)}"
