#!/usr/bin/env bash
# Starts the built program. Usage: scripts/run.sh [build-dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$root/build"}
exe="$build_dir/velmaro"
if [ ! -x "$exe" ]; then
  echo "run: $exe not found; build first (make run builds it)" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY/WAYLAND_DISPLAY unset); start Velmaro from a desktop session" >&2
  exit 1
fi
exec "$exe"
