#!/usr/bin/env bash
# Scan benchmark: `du -sb`, `gdu` and Velmaro's scan (as the window runs it,
# offscreen) on the same generated tree, warm cache, median of RUNS runs each,
# peak memory from /usr/bin/time -v. Prints a table and checks Velmaro's total
# of the root against `find`.
#
#   bench/run.sh [TREE] [BUILD_DIR]      (either order; `make bench` passes BUILD_DIR)
#
# TREE (default BUILD_DIR/bench-trees/tree-100k) is generated with gen_tree.py
# when it is missing or empty (GEN_ARGS passes options, e.g. "--folders 1000
# --files 10000"). BUILD_DIR (default ../build) must hold bench/scan_window.
# RUNS defaults to 5, WORKERS (optional) sets the engine's worker count.
# bench/window_table.sh adds the folder list's table (TABLE=0 skips it),
# bench/cli_table.sh the command line's, warm and cold (CLI_TABLE=0 skips it).
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
TREE=
BUILD=${BUILD_DIR:-$HERE/../build}
# Either argument may be the build folder (it holds bench/scan_window): `make bench` passes only that.
for arg in "$@"; do
    if [ -x "$arg/bench/scan_window" ]; then BUILD=$arg; else TREE=$arg; fi
done
TREE=${TREE:-$BUILD/bench-trees/tree-100k}
RUNS=${RUNS:-5}
SCAN=$BUILD/bench/scan_window
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

[ -x "$SCAN" ] || { echo "missing $SCAN: cmake --build $BUILD --target scan_window" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "missing /usr/bin/time (apt-get install time)" >&2; exit 1; }
if ! command -v gdu >/dev/null; then
    if [ "$(id -u)" = 0 ]; then apt-get install -y gdu >/dev/null; else echo "gdu missing" >&2; exit 1; fi
fi

if [ ! -d "$TREE" ] || [ -z "$(ls -A "$TREE" 2>/dev/null)" ]; then
    echo "generating $TREE ..."
    # shellcheck disable=SC2086
    python3 "$HERE/gen_tree.py" "$TREE" ${GEN_ARGS:-}
fi
TREE=$(cd "$TREE" && pwd)

echo "warming the cache ..."
du -sb "$TREE" >/dev/null
find "$TREE" >/dev/null

# Runs a command under /usr/bin/time -v; appends "seconds kbytes" to $1.
measure() {
    local out=$1; shift
    /usr/bin/time -v -o "$WORK/time" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
    local wall rss
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0;
            for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$WORK/time")
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/time")
    echo "$wall $rss" >>"$out"
}

median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
calc() { awk "BEGIN {print $1}"; }
column_of() { awk -v c="$2" '{print $c}' "$1"; }
value() { awk -F': ' -v k="$2" '$1 == k {print $2}' "$1"; }

EXTRA=()
[ -n "${WORKERS:-}" ] && EXTRA+=(--workers "$WORKERS")

for i in $(seq "$RUNS"); do
    echo "run $i/$RUNS ..."
    measure "$WORK/du" du -sb "$TREE"
    measure "$WORK/gdu" gdu --non-interactive --no-progress "$TREE"
    # Scan only: wall time and peak memory of a plain full scan.
    measure "$WORK/velmaro" "$SCAN" "$TREE" --no-sort --no-stop "${EXTRA[@]}"
    cp "$WORK/stdout" "$WORK/scan.$i"
    # The same scan, then the sorts and a stopped second scan.
    "$SCAN" "$TREE" "${EXTRA[@]}" >"$WORK/full.$i" 2>/dev/null
done

stat_of() {  # key, files... -> median of the key over the files
    local key=$1; shift
    for f in "$@"; do value "$f" "$key"; done | median
}
max_of() {
    local key=$1; shift
    for f in "$@"; do value "$f" "$key"; done | sort -g | tail -1
}

du_s=$(column_of "$WORK/du" 1 | median);      du_kb=$(column_of "$WORK/du" 2 | median)
gdu_s=$(column_of "$WORK/gdu" 1 | median);    gdu_kb=$(column_of "$WORK/gdu" 2 | median)
vel_s=$(column_of "$WORK/velmaro" 1 | median); vel_kb=$(column_of "$WORK/velmaro" 2 | median)
scan_ms=$(stat_of scan_ms "$WORK"/scan.*)
walk_ms=$(stat_of walk_ms "$WORK"/scan.*)
gap_med=$(stat_of ui_max_gap_ms "$WORK"/scan.* "$WORK"/full.*)
gap_max=$(max_of ui_max_gap_ms "$WORK"/scan.* "$WORK"/full.*)
ui_cpu=$(stat_of ui_cpu_ms "$WORK"/scan.*)
ui_wait=$(stat_of ui_runqueue_wait_ms "$WORK"/scan.*)
stop_walk=$(stat_of stop_to_walk_end_ms "$WORK"/full.*)
stop_max=$(max_of stop_to_walk_end_ms "$WORK"/full.*)
stop_done=$(stat_of stop_to_finished_ms "$WORK"/full.*)

folders=$(value "$WORK/scan.1" folders)
zero=$(value "$WORK/scan.1" zero_byte_folders)
root_bytes=$(value "$WORK/scan.1" root_bytes)
find_bytes=$(find "$TREE" ! -type d -printf '%s\n' | awk '{s += $1} END {printf "%.0f", s}')
files=$(find "$TREE" ! -type d | wc -l)

echo
echo "Tree: $TREE ($folders folders, $files files, $zero zero-byte folders), $(nproc) cores, $RUNS runs, warm cache"
printf '%-28s %12s %14s\n' "" "median s" "peak RSS MB"
printf '%-28s %12.3f %14.1f\n' "du -sb" "$du_s" "$(calc "$du_kb / 1024")"
printf '%-28s %12.3f %14.1f\n' "gdu --non-interactive" "$gdu_s" "$(calc "$gdu_kb / 1024")"
printf '%-28s %12.3f %14.1f\n' "velmaro (process)" "$vel_s" "$(calc "$vel_kb / 1024")"
printf '%-28s %12.3f\n' "velmaro scan (in window)" "$(calc "$scan_ms / 1000")"
printf '%-28s %12.3f\n' "velmaro walk only" "$(calc "$walk_ms / 1000")"
echo
printf 'velmaro/du  (process): %.2f   goal <= 0.50\n' "$(calc "$vel_s / $du_s")"
printf 'velmaro/gdu (process): %.2f   goal <= 0.40\n' "$(calc "$vel_s / $gdu_s")"
printf 'peak memory: %.1f MB           goal <= 150\n' "$(calc "$vel_kb / 1024")"
printf 'UI thread longest stall during scans: median %s ms, worst %s ms   goal <= 50 (5 ms timer gaps)\n' "$gap_med" "$gap_max"
printf 'UI thread during a scan: %s ms CPU, %s ms runnable but waiting for a core (median)\n' "$ui_cpu" "$ui_wait"
printf 'stop -> walk ended: median %s ms, worst %s ms; -> window closed: median %s ms   goal <= 100\n' \
    "$stop_walk" "$stop_max" "$stop_done"
echo "sort of the $folders-row list (median ms; goal < 1000):"
for c in 1 2 3 4 5; do
    printf '  column %d: asc %s  desc %s\n' "$c" "$(stat_of sort_col${c}_asc_ms "$WORK"/full.*)" \
        "$(stat_of sort_col${c}_desc_ms "$WORK"/full.*)"
done

# --- The folder list's table: floor, engine, window, du, gdu on three trees ---
if [ "${TABLE:-1}" != 0 ]; then
    echo
    RUNS=$RUNS "$HERE/window_table.sh" "$BUILD"
fi
# --- end of the folder list's block ---

if [ "$root_bytes" = "$find_bytes" ]; then
    echo "root total: $root_bytes bytes, equal to find's sum"
else
    echo "root total: $root_bytes bytes, find says $find_bytes: MISMATCH"
    exit 1
fi

# --- Command line: `velmaro list --bytes` beside du -sb, gdu and the bare walk ---
# One block of its own. The bare walk is bench/engine_scan: the engine alone,
# as a process. Goal: the command takes at most 1.2 x the bare walk.
CLI=$BUILD/src/velmaro
WALK=$BUILD/bench/engine_scan
if [ -x "$CLI" ] && [ -x "$WALK" ]; then
    for i in $(seq "$RUNS"); do
        echo "command line run $i/$RUNS ..."
        measure "$WORK/walk" "$WALK" "${EXTRA[@]}" "$TREE"
        measure "$WORK/cli" "$CLI" list --bytes "${EXTRA[@]}" "$TREE"
    done
    walk_s=$(column_of "$WORK/walk" 1 | median); walk_kb=$(column_of "$WORK/walk" 2 | median)
    cli_s=$(column_of "$WORK/cli" 1 | median);   cli_kb=$(column_of "$WORK/cli" 2 | median)
    cli_rows=$(wc -l <"$WORK/stdout")
    cli_root=$(awk -F '\t' -v p="$TREE/" '$2 == p {print $3}' "$WORK/stdout")
    echo
    printf '%-28s %12s %14s\n' "" "median s" "peak RSS MB"
    printf '%-28s %12.3f %14.1f\n' "du -sb" "$du_s" "$(calc "$du_kb / 1024")"
    printf '%-28s %12.3f %14.1f\n' "gdu --non-interactive" "$gdu_s" "$(calc "$gdu_kb / 1024")"
    printf '%-28s %12.3f %14.1f\n' "bare walk (engine_scan)" "$walk_s" "$(calc "$walk_kb / 1024")"
    printf '%-28s %12.3f %14.1f\n' "velmaro list --bytes" "$cli_s" "$(calc "$cli_kb / 1024")"
    printf 'velmaro list --bytes / bare walk: %.2f   goal <= 1.20\n' "$(calc "$cli_s / $walk_s")"
    echo "velmaro list --bytes: $cli_rows rows, root total $cli_root bytes"
    if [ "$cli_rows" != "$folders" ] || [ "$cli_root" != "$find_bytes" ]; then
        echo "velmaro list --bytes: MISMATCH (expected $folders rows, $find_bytes bytes)"
        exit 1
    fi
else
    echo "velmaro list: missing $CLI or $WALK (cmake --build $BUILD --target velmaro engine_scan)"
fi
# --- end of the command-line block ---

# --- The command line's table: list against the bare walk, warm and cold ---
if [ "${CLI_TABLE:-1}" != 0 ]; then
    echo
    RUNS=$RUNS "$HERE/cli_table.sh" "$BUILD"
fi
