#!/usr/bin/env bash
# Starts the built program. Usage: scripts/run.sh [build-dir]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$root/build"}
exe=""
for candidate in "$build_dir/src/velmaro" "$build_dir/velmaro"; do
  if [ -x "$candidate" ]; then
    exe=$candidate
    break
  fi
done
if [ -z "$exe" ]; then
  echo "run: no velmaro in $build_dir; build first (make run builds it)" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display (DISPLAY/WAYLAND_DISPLAY unset); start Velmaro from a desktop session" >&2
  exit 1
fi
exec "$exe"
