#!/bin/sh
# Checks the scan engine's per-folder byte totals against find on the same
# tree: every folder's total must equal the sum of the sizes of all
# non-folder entries below it, as find reports them.
#
#   check_totals.sh ROOT [ENGINE_SCAN_BINARY] [WORKERS]
#
# The binary defaults to $VELMARO_ENGINE_SCAN or ../build/bench/engine_scan.
# Exits 0 when every folder matches. The tree must hold no names with tabs
# or newlines (gen_tree.py makes none).
set -eu

root=${1:?usage: check_totals.sh ROOT [ENGINE_SCAN_BINARY] [WORKERS]}
here=$(cd "$(dirname "$0")" && pwd)
bin=${2:-${VELMARO_ENGINE_SCAN:-$here/../build/bench/engine_scan}}
workers=${3:-8}
case $root in /) ;; */) root=${root%/} ;; esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin" --workers "$workers" --dump "$work/engine.tsv" "$root" >"$work/engine.out"
cat "$work/engine.out"
LC_ALL=C sort -t "$(printf '\t')" -k2 "$work/engine.tsv" >"$work/engine.sorted"

# Every folder once with 0, then every size added to each folder above it.
{
    find "$root" -xdev -type d -printf '0\t%p\n'
    find "$root" -xdev -not -type d -printf '%s\t%h\n'
} | LC_ALL=C awk -F '\t' -v root="$root" '
    {
        size = $1; dir = $0; sub(/^[^\t]*\t/, "", dir)
        if (size == 0) { if (!(dir in total)) total[dir] = 0; next }
        while (1) {
            total[dir] += size
            if (dir == root || dir == "/" || dir == "") break
            sub(/\/[^\/]*$/, "", dir)
            if (dir == "") dir = "/"
        }
    }
    END { for (d in total) printf "%.0f\t%s\n", total[d], d }' |
    LC_ALL=C sort -t "$(printf '\t')" -k2 >"$work/find.sorted"

folders=$(wc -l <"$work/find.sorted")
if cmp -s "$work/engine.sorted" "$work/find.sorted"; then
    echo "totals match find for all $folders folders"
else
    echo "totals differ from find (< engine, > find):"
    diff "$work/engine.sorted" "$work/find.sorted" | head -20
    exit 1
fi
