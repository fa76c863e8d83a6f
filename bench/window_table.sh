#!/usr/bin/env bash
# The folder list's benchmark table: per tree the floor (bench/floor_walk, a
# bare getdents + statx walk on 2 threads that only adds sizes), the engine
# alone (bench/engine_scan), the window's scan from the click to the final
# sorted and counted list (bench/scan_window, offscreen), `du -sb` and `gdu`:
# median wall time of RUNS runs, warm cache, the CPU time (user + system) and
# the peak RSS of each process. On a machine shared with other work the CPU
# time tells the cost; wall times there depend on the scheduler.
# Then the peak memory of the window on a tree of a million folders, the
# sorts of a million rows (bench/list_sort), the map window and the size
# bars (bench/map_window), and the goals. Every walk runs
# 10 nicer, as the scan's workers do (du and gdu under `nice -n 10`), so that
# on a machine shared with other work they compete alike.
#
#   window_table.sh BUILD_DIR
#
# Trees are generated with gen_tree.py below BENCH_TREES (default
# BUILD_DIR/bench-trees) when missing: tree-100k (100,000 folders, 1,000,000
# files), tree-10k (10,000 / 100,000), tree-1m (1,000,000 folders, 1,000,000
# files; memory only, MILLION=0 skips it). /usr is the third tree. The
# window runs in the program's language: BENCH_LOCALE, default de_DE.UTF-8
# (its collation takes the fast path; a locale that lacks it sorts slower).
set -euo pipefail
WINDOW_LOCALE=${BENCH_LOCALE:-de_DE.UTF-8}
export LC_ALL=C  # this script's own numbers

HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:?usage: window_table.sh BUILD_DIR}" && pwd)
TREES=${BENCH_TREES:-$BUILD/bench-trees}
RUNS=${RUNS:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
for tool in floor_walk engine_scan scan_window list_sort map_window; do
    [ -x "$BUILD/bench/$tool" ] || { echo "missing $BUILD/bench/$tool: cmake --build $BUILD --target $tool" >&2; exit 1; }
done

tree() {  # name, gen_tree options -> path (generated when missing)
    local path=$TREES/$1; shift
    if [ ! -d "$path" ] || [ -z "$(ls -A "$path" 2>/dev/null)" ]; then
        echo "generating $path ..." >&2
        mkdir -p "$TREES"
        python3 "$HERE/gen_tree.py" "$path" "$@" >&2
    fi
    echo "$path"
}

# Runs a command under /usr/bin/time -v; prints "wall_seconds peak_kb
# cpu_seconds"; its output stays in $WORK/out.
measure() {
    /usr/bin/time -v -o "$WORK/time" "$@" >"$WORK/out" 2>"$WORK/err"
    awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; w = s}
                /(User|System) time \(seconds\)/ {c += $2}
                /Maximum resident set size/ {k = $2} END {print w, k, c}' "$WORK/time"
}
median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
value() { awk -F': ' -v k="$1" '$1 == k {print $2}' "$WORK/out"; }
calc() { awk "BEGIN {print $1}"; }

# The empty window's peak memory: a scan of an empty folder (median, as for the trees).
mkdir -p "$WORK/empty"
empty_kb=$(for i in $(seq "$RUNS"); do
    measure env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/scan_window" "$WORK/empty" --no-sort --no-stop | cut -d' ' -f2
done | median)

declare -A R
run_tree() {  # label, path
    local label=$1 path=$2 i
    du -sb "$path" >/dev/null; "$BUILD/bench/floor_walk" "$path" >/dev/null  # warm the cache
    : >"$WORK/$label"
    for i in $(seq "$RUNS"); do
        echo "$label: run $i/$RUNS ..." >&2
        read -r _ kb cpu < <(measure "$BUILD/bench/floor_walk" --threads 2 "$path")
        echo "floor $(value seconds) $kb $cpu" >>"$WORK/$label"
        read -r _ kb cpu < <(measure "$BUILD/bench/engine_scan" "$path")
        echo "engine $(awk '/^run 1:/ {print $3}' "$WORK/out") $kb $cpu" >>"$WORK/$label"
        read -r _ kb cpu < <(measure env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/scan_window" "$path" --no-sort --no-stop)
        echo "window $(calc "$(value scan_ms) / 1000") $kb $cpu" >>"$WORK/$label"
        R[$label,folders]=$(value folders); R[$label,gap]="${R[$label,gap]:-} $(value ui_max_gap_ms)"
        read -r s kb cpu < <(measure nice -n 10 du -sb "$path"); echo "du $s $kb $cpu" >>"$WORK/$label"
        read -r s kb cpu < <(measure nice -n 10 gdu --non-interactive --no-progress "$path"); echo "gdu $s $kb $cpu" >>"$WORK/$label"
    done
    local what
    for what in floor engine window du gdu; do
        R[$label,$what,s]=$(awk -v w=$what '$1 == w {print $2}' "$WORK/$label" | median)
        R[$label,$what,mb]=$(calc "$(awk -v w=$what '$1 == w {print $3}' "$WORK/$label" | median) / 1024")
        R[$label,$what,cpu]=$(awk -v w=$what '$1 == w {print $4}' "$WORK/$label" | median)
    done
    # One full run: sorts by every column, a stopped second scan.
    measure env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/scan_window" "$path" >/dev/null
    R[$label,sorts]=$(awk -F': ' '/^sort_col/ {printf "%s %s  ", substr($1, 6, 10), $2}' "$WORK/out")
    R[$label,sortgap]=$(value ui_max_gap_sorting_ms)
    R[$label,stop]=$(value stop_to_walk_end_ms)
}

T100K=$(tree tree-100k)
T10K=$(tree tree-10k --folders 10000 --files 100000)
run_tree 100k "$T100K"
run_tree 10k "$T10K"
run_tree usr /usr

echo
echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), median of $RUNS runs, warm cache"
echo "wall s / CPU s of the process / peak RSS MB"
printf '%-6s %9s %22s %22s %22s %22s %22s\n' tree folders floor engine window "du -sb" gdu
for t in 100k 10k usr; do
    printf '%-6s %9s' "$t" "${R[$t,folders]}"
    for what in floor engine window du gdu; do
        printf ' %6.3f / %6.2f / %6.1f' "${R[$t,$what,s]}" "${R[$t,$what,cpu]}" "${R[$t,$what,mb]}"
    done
    echo
done
echo
printf 'empty window: %.1f MB peak\n' "$(calc "$empty_kb / 1024")"
for t in 100k 10k usr; do
    f=${R[$t,folders]}
    printf '%-5s window/floor %.2f, CPU %.2f (goal <= %s), window/du %.2f (< 1), memory above the empty window %.0f bytes/folder (goal <= 300)\n' \
        "$t" "$(calc "${R[$t,window,s]} / ${R[$t,floor,s]}")" "$(calc "${R[$t,window,cpu]} / ${R[$t,floor,cpu]}")" \
        "$([ $t = 100k ] && echo 1.3 || echo 1.5)" \
        "$(calc "${R[$t,window,s]} / ${R[$t,du,s]}")" "$(calc "(${R[$t,window,mb]} * 1024 - $empty_kb) * 1024 / $f")"
    echo "      UI thread's longest stall: scans${R[$t,gap]} ms; sorts ${R[$t,sortgap]} ms (goal <= 50); stop -> walk ended ${R[$t,stop]} ms (goal <= 100)"
    echo "      sorts (ms until in place): ${R[$t,sorts]}"
done

if [ "${MILLION:-1}" != 0 ]; then
    T1M=$(tree tree-1m --folders 1000000 --files 1000000)
    du -sb "$T1M" >/dev/null
    read -r _ kb _ < <(measure env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/scan_window" "$T1M" --no-stop)
    f=$(value folders)
    printf '1M tree: %s folders, window peak %.1f MB (goal <= 400), %.0f bytes/folder above the empty window; scan %.2f s\n' \
        "$f" "$(calc "$kb / 1024")" "$(calc "($kb - $empty_kb) * 1024 / $f")" "$(calc "$(value scan_ms) / 1000")"
    echo "      sorts (ms until in place): $(awk -F': ' '/^sort_col/ {printf "%s %s  ", substr($1, 6, 10), $2}' "$WORK/out")"
    echo "      UI thread's longest stall: scan $(value ui_max_gap_ms) ms, sorts $(value ui_max_gap_sorting_ms) ms"
fi
echo
echo "list_sort, 1,000,000 generated rows (goal: first text sort <= 500 ms, later sorts <= 100 ms):"
"$BUILD/bench/list_sort" | sed 's/^/  /'

echo
echo "map window and size bars (bench/map_window, 1000 x 700 offscreen; median / largest of $RUNS runs):"
for t in 100k usr; do
    path=$([ $t = usr ] && echo /usr || echo "$T100K")
    env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/map_window" "$path" --runs "$RUNS" >"$WORK/out" 2>/dev/null
    printf '%-5s %s folders, %s tiles: open %s / %s ms (goal <= 150), zoom step %s / %s ms (goal <= 50), longest block %s ms (goal <= 50), map %.1f MB (goal <= 30)\n' \
        "$t" "$(value folders)" "$(value tiles_at_root)" "$(value open_ms_median)" "$(value open_ms_max)" \
        "$(value zoom_ms_median)" "$(value zoom_ms_max)" "$(value longest_block_ms)" "$(calc "$(value map_kb) / 1024")"
    printf '      list paint %s ms with bars, %s ms without: %+.1f %% (goal <= 5)\n' \
        "$(value list_paint_ms_with_bars)" "$(value list_paint_ms_without_bars)" "$(value bars_share_percent)"
done
