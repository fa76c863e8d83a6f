#!/usr/bin/env bash
# The two everyday commands, usable on a fresh Debian 12 machine where not
# even make is installed yet:
#   bash scripts/velmaro.sh run    install what is missing, build, start Velmaro
#   bash scripts/velmaro.sh test   install what is missing, build, run every test
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-"$root/build"}

case "${1:-}" in
  run|test) ;;
  *) echo "usage: bash scripts/velmaro.sh run|test" >&2; exit 2 ;;
esac

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build_dir"
exec bash "$root/scripts/$1.sh" "$build_dir"
