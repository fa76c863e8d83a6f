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
# On tree-1m: the scan against the walk, the peak memory including a first
# sort of every column, each column's first sort and the longest stall, median
# of RUNS runs. Accessibility (A11Y=0 skips it): the real window's scan with
# and without the accessibility bridge against the walk (bench/a11y_scan.py).
# TREE_TABLE=0 leaves out the three trees' table, list_sort and the map.
set -euo pipefail
WINDOW_LOCALE=${BENCH_LOCALE:-de_DE.UTF-8}
export LC_ALL=C  # this script's own numbers

HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:?usage: window_table.sh BUILD_DIR}" && pwd)
TREES=${BENCH_TREES:-$BUILD/bench-trees}
RUNS=${RUNS:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
[ "${A11Y:-1}" = 0 ] || [ -x "$BUILD/src/velmaro" ] || { echo "missing $BUILD/src/velmaro (A11Y=0 skips it)" >&2; exit 1; }
tools="floor_walk scan_window"
[ "${TREE_TABLE:-1}" = 0 ] || tools="$tools engine_scan list_sort map_window"
for tool in $tools; do
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
if [ "${TREE_TABLE:-1}" != 0 ]; then
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
fi

if [ "${MILLION:-1}" != 0 ]; then
    # The million-folder tree: RUNS times the walk, then the window's scan
    # followed by a first sort of every column (each ascending, then
    # descending); peak memory covers the scan and the sorts. The scan itself
    # ends with the list's first sort, by path (the program's default): its
    # time is the scan's from the walk's end to the sorted list, and the path
    # column's sort after the scan reuses its ranks.
    T1M=$(tree tree-1m --folders 1000000 --files 1000000)
    du -sb "$T1M" >/dev/null
    : >"$WORK/1m"
    for i in $(seq "$RUNS"); do
        echo "1m: run $i/$RUNS ..." >&2
        read -r _ _ cpu < <(measure "$BUILD/bench/floor_walk" --threads 2 "$T1M")
        echo "floor $(value seconds) $cpu" >>"$WORK/1m"
        read -r _ kb cpu < <(measure env LC_ALL="$WINDOW_LOCALE" "$BUILD/bench/scan_window" "$T1M" --no-stop)
        echo "window $(calc "$(value scan_ms) / 1000") $cpu" >>"$WORK/1m"
        echo "peak $kb" >>"$WORK/1m"
        for c in 1 3 4 5; do echo "first$c $(value sort_col${c}_asc_ms)" >>"$WORK/1m"; done
        echo "first2 $(calc "$(value scan_ms) - $(value walk_ms)")" >>"$WORK/1m"
        echo "gapscan $(value ui_max_gap_ms)" >>"$WORK/1m"
        echo "gapsort $(value ui_max_gap_sorting_ms)" >>"$WORK/1m"
        f=$(value folders)
    done
    m1() { awk -v w="$1" -v c="${2:-2}" '$1 == w {print $c}' "$WORK/1m" | median; }
    list1() { awk -v w="$1" '$1 == w {printf "%s ", $2}' "$WORK/1m"; }
    printf '1M tree: %s folders, median of %s runs\n' "$f" "$RUNS"
    printf '      scan: walk %.2f s, window %.2f s: window/floor %.2f (CPU %.2f / %.2f s); runs: walk %s/ window %s\n' \
        "$(m1 floor)" "$(m1 window)" "$(calc "$(m1 window) / $(m1 floor)")" "$(m1 window 3)" "$(m1 floor 3)" \
        "$(list1 floor)" "$(list1 window)"
    printf '      peak memory with a first sort of every column %.1f MB (goal <= 300); runs: %s\n' \
        "$(calc "$(m1 peak) / 1024")" "$(awk '$1 == "peak" {printf "%.0f ", $2 / 1024}' "$WORK/1m")"
    printf '      first sort (ms until in place; goal <= 500): name %s, path %s (in the scan: walk end -> sorted), size %s, created %s, last change %s; runs: name %s/ path %s\n' \
        "$(m1 first1)" "$(m1 first2)" "$(m1 first3)" "$(m1 first4)" "$(m1 first5)" "$(list1 first1)" "$(list1 first2)"
    printf '      UI thread'"'"'s longest stall (goal <= 50 ms): scan %s ms, sorts %s ms; runs: scan %s/ sorts %s\n' \
        "$(m1 gapscan)" "$(m1 gapsort)" "$(list1 gapscan)" "$(list1 gapsort)"
fi
if [ "${A11Y:-1}" != 0 ]; then
    # The real window under Xvfb, with and without the accessibility bridge
    # (a screen reader's stand-in listening), timed from outside, and the
    # walk, in the same rounds (bench/a11y_scan.py).
    echo "accessibility: $RUNS rounds on tree-100k ..." >&2
    if /usr/bin/python3 "$HERE/a11y_scan.py" "$BUILD/src/velmaro" "$BUILD/bench/floor_walk" \
        "${T100K:-$(tree tree-100k)}" --runs "$RUNS" >"$WORK/a11y" 2>"$WORK/a11y.err"; then
        a() { awk -F': ' -v k="$1" '$1 == k {print $2}' "$WORK/a11y"; }
        printf 'accessibility (real window, Xvfb, tree-100k, median of %s rounds): walk %s s; bridge off %s s (x%s), on %s s (x%s, goal <= 1.25); CPU off %s s, on %s s\n' \
            "$RUNS" "$(a walk_s)" "$(a off_s)" "$(a off_ratio)" "$(a on_s)" "$(a on_ratio)" "$(a off_cpu_s)" "$(a on_cpu_s)"
    else
        echo "accessibility: a11y_scan.py failed: $(tail -3 "$WORK/a11y.err")"
    fi
fi
if [ "${TREE_TABLE:-1}" = 0 ]; then
    exit 0
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
