#!/usr/bin/env bash
# The command line's benchmark table: `velmaro list` on the 100,000-folder /
# 1,000,000-file tree against the bare walk (bench/floor_walk --threads 2),
# median wall time of RUNS runs (default 5) and the CPU time of the whole
# pipeline. Every command writes into a pipe read by `cat >/dev/null`, as a
# script reading the listing would. The walk runs at the caller's priority
# (--nice 0), as the command line's workers do.
#
# Warm cache: the walk, the walk that also reads each folder's status
# (floor_walk --folder-times: what showing folder dates costs), `list
# --bytes` (the full listing, default workers),
# `list` (the window form, in BENCH_LOCALE, default de_DE.UTF-8), `--top 1`,
# `--workers 2` and `--workers 8`, each run of them interleaved so that a
# change of load meets all alike. Cold cache (the page cache, dentries and
# inodes dropped before each run: `sync; echo 3 > /proc/sys/vm/drop_caches`,
# needs root; COLD=0 skips it): the walk, the default workers, 2 workers.
#
#   cli_table.sh BUILD_DIR
#
# The tree is BENCH_TREES/tree-100k (default BUILD_DIR/bench-trees),
# generated with gen_tree.py when missing. BEFORE=PATH-TO-VELMARO adds warm
# rows of another build (e.g. the one before a change) to the same runs.
set -euo pipefail
LIST_LOCALE=${BENCH_LOCALE:-de_DE.UTF-8}
export LC_ALL=C  # this script's own numbers

HERE=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:?usage: cli_table.sh BUILD_DIR}" && pwd)
TREE=${BENCH_TREES:-$BUILD/bench-trees}/tree-100k
RUNS=${RUNS:-5}
GOAL=1.1
VELMARO=$BUILD/src/velmaro
WALK=$BUILD/bench/floor_walk
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
for tool in "$VELMARO" "$WALK"; do
    [ -x "$tool" ] || { echo "missing $tool: cmake --build $BUILD --target velmaro floor_walk" >&2; exit 1; }
done
if [ ! -d "$TREE" ] || [ -z "$(ls -A "$TREE" 2>/dev/null)" ]; then
    echo "generating $TREE ..." >&2
    mkdir -p "$(dirname "$TREE")"
    python3 "$HERE/gen_tree.py" "$TREE" >&2
fi

# Runs "$@" into `cat >/dev/null`; prints "wall_seconds cpu_seconds" (CPU
# of the command and cat).
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%U %S' -o "$WORK/time" sh -c '"$@" | cat >/dev/null' sh "$@" 2>"$WORK/err"
    end=$(date +%s%N)
    awk -v ns=$((end - start)) '{print ns / 1e9, $1 + $2}' "$WORK/time"
}
median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
calc() { awk "BEGIN {print $1}"; }
drop_caches() { sync && echo 3 >/proc/sys/vm/drop_caches; }
LIST="env LC_ALL=$LIST_LOCALE $VELMARO list"

# The commands, in words (no blanks inside a word).
declare -A CMD=(
    [walk]="$WALK --threads 2 --nice 0 $TREE"
    [times]="$WALK --threads 2 --nice 0 --folder-times $TREE"
    [bytes]="$LIST --bytes $TREE"
    [window]="$LIST $TREE"
    [top1]="$LIST --bytes --top 1 $TREE"
    [w2]="$LIST --bytes --workers 2 $TREE"
    [w8]="$LIST --bytes --workers 8 $TREE"
)
WARM=(walk times bytes window top1 w2 w8)
if [ -n "${BEFORE:-}" ]; then
    CMD[before_bytes]="env LC_ALL=$LIST_LOCALE $BEFORE list --bytes $TREE"
    CMD[before_window]="env LC_ALL=$LIST_LOCALE $BEFORE list $TREE"
    WARM+=(before_bytes before_window)
fi
COLD_ROWS=(walk bytes w2)

run_rows() {  # cache (warm|cold), row names...
    local cache=$1 i row; shift
    for i in $(seq "$RUNS"); do
        echo "$cache: run $i/$RUNS ..." >&2
        for row in "$@"; do
            [ "$cache" = warm ] || drop_caches
            # shellcheck disable=SC2086  # the command's words
            echo "$row $(measure ${CMD[$row]})" >>"$WORK/$cache"
        done
    done
}
stat_of() {  # cache, row, field (2 wall, 3 CPU)
    awk -v r="$2" -v f="$3" '$1 == r {print $f}' "$WORK/$1" | median
}

: >"$WORK/warm"
"$VELMARO" list --bytes "$TREE" >/dev/null; "$WALK" --threads 2 "$TREE" >/dev/null  # warm the cache
run_rows warm "${WARM[@]}"
cold=no
if [ "${COLD:-1}" != 0 ] && drop_caches 2>/dev/null; then
    cold=yes
    : >"$WORK/cold"
    run_rows cold "${COLD_ROWS[@]}"
fi

folders=$("$VELMARO" list --bytes "$TREE" | wc -l)
echo
echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $folders folders, median of $RUNS runs"
echo "each into a pipe to cat >/dev/null; default workers: $("$VELMARO" --help | sed -n 's/.*--workers N.*Vorgabe \([0-9]*\).*/\1/p')"
printf '%-7s %-44s %9s %9s %9s  %s\n' cache command "wall s" "CPU s" "/ walk" goal
shown() {  # row -> its command, short
    local c=${CMD[$1]/$TREE/TREE}
    c=${c/$VELMARO/velmaro}; c=${c/$WALK/floor_walk}; [ -z "${BEFORE:-}" ] || c=${c/$BEFORE/before: velmaro}
    echo "${c/env LC_ALL=$LIST_LOCALE /}"
}
row_line() {  # cache, row, goal text
    local wall cpu walk ratio verdict=""
    wall=$(stat_of "$1" "$2" 2); cpu=$(stat_of "$1" "$2" 3); walk=$(stat_of "$1" walk 2)
    ratio=$(calc "$wall / $walk")
    if [ -n "$3" ]; then
        verdict="$3 $(awk -v r="$ratio" -v g=$GOAL 'BEGIN {print (r <= g) ? "met" : "missed"}')"
    fi
    printf '%-7s %-44s %9.3f %9.2f %8.2fx  %s\n' "$1" "$(shown "$2")" "$wall" "$cpu" "$ratio" "$verdict"
}
row_line warm walk ""
row_line warm times ""
row_line warm bytes "<= ${GOAL}x:"
row_line warm window "<= ${GOAL}x:"
row_line warm top1 ""
row_line warm w2 ""
row_line warm w8 ""
if [ -n "${BEFORE:-}" ]; then
    row_line warm before_bytes ""
    row_line warm before_window ""
fi
if [ $cold = yes ]; then
    row_line cold walk ""
    row_line cold bytes ""
    row_line cold w2 ""
fi
echo
warm_gain=$(calc "$(stat_of warm bytes 2) / $(stat_of warm w2 2)")
printf 'warm: default workers / 2 workers %.3f (goal: does not lose, <= 1.02): %s\n' "$warm_gain" \
    "$(awk -v r="$warm_gain" 'BEGIN {print (r <= 1.02) ? "met" : "missed"}')"
if [ $cold = yes ]; then
    cold_gain=$(calc "$(stat_of cold bytes 2) / $(stat_of cold w2 2)")
    printf 'cold: default workers / 2 workers %.3f (goal: keeps its gain, < 1): %s\n' "$cold_gain" \
        "$(awk -v r="$cold_gain" 'BEGIN {print (r < 1) ? "met" : "missed"}')"
else
    echo "cold: not measured (COLD=0, or the page cache cannot be dropped here: needs root)"
fi
