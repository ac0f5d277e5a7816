#!/usr/bin/env bash
# Times a search in the desktop window (offscreen), with "Faster" checked and unchecked, against
# the same search in vesk-cli, on the tree of bench/gen_corpus.py --rows N (one match row per
# matching line) and on the kernel tree when it is there, and reports the longest time the window
# went without handling events during a run.
#
#   bash bench/window.sh [build folder]        (default: build; needs vesk-cli and the UI tests)
#
# Environment: VESK_BENCH_CACHE (default ~/.cache/vesk-bench), VESK_BENCH_ROWS (default 1000000),
# VESK_BENCH_RUNS (default 3), VESK_BENCH_KERNEL (default $VESK_BENCH_CACHE/linux-source-6.1).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${1:-build}
case $build in /*) ;; *) build="$PWD/$build" ;; esac
cli="$build/app/vesk-cli"
ui_test="$build/bench/window_bench"
for f in "$cli" "$ui_test"; do
    [[ -x $f ]] || { echo "window.sh: no $f (build vesk-cli and window_bench first)" >&2; exit 2; }
done
[[ -x /usr/bin/time ]] || { echo "window.sh: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }

cache=${VESK_BENCH_CACHE:-$HOME/.cache/vesk-bench}
nrows=${VESK_BENCH_ROWS:-1000000}
runs=${VESK_BENCH_RUNS:-3}
word=vbrowmark # the string gen_corpus.py --rows plants
tree="$cache/rows-$nrows"
if [[ ! -d $tree ]]; then
    echo "Writing the $nrows-row tree into $tree ..." >&2
    mkdir -p "$cache"
    python3 "$here/gen_corpus.py" --rows "$nrows" "$tree" >&2
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export LC_ALL=C VESK_HOME="$home" QT_QPA_PLATFORM=offscreen

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# window_run TREE WORD FAST: one run in the window; prints its "window" line (seconds, rows, the
# longest time the window went without handling events, ...).
window_run() {
    VESK_BENCH_TREE="$1/" VESK_BENCH_STRING="$2" VESK_BENCH_FAST="$3" /usr/bin/time -f '%M' \
        -o "$home/win.time" "$ui_test" > "$home/win.out" 2>/dev/null
    grep '^window' "$home/win.out"
}
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<< "$2"; }

# compare_tree NAME TREE WORD: vesk-cli, the window with "Faster" and the window without it, in
# turns, $runs rounds; medians, the largest peak memory and the longest event gap of all rounds.
compare_tree() {
    local name=$1 tree=$2 word=$3 i mode line m
    local -a cli=() fast=() slow=() gapf=() gaps=()
    local cli_rss=0 win_rss=0 rows=""
    for (( i = 0; i < runs; i++ )); do
        t0=$EPOCHREALTIME
        /usr/bin/time -f '%M' -o "$home/cli.time" "$cli_bin" -s "$word" -r -f rows "$tree" > "$home/cli.out" 2>/dev/null || true
        t1=$EPOCHREALTIME
        cli+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')")
        m=$(tail -1 "$home/cli.time"); (( m > cli_rss )) && cli_rss=$m
        for mode in 1 0; do
            line=$(window_run "$tree" "$word" "$mode")
            m=$(tail -1 "$home/win.time"); (( m > win_rss )) && win_rss=$m
            rows=$(field rows "$line")
            if [[ $mode == 1 ]]; then
                fast+=("$(field seconds "$line")"); gapf+=("$(field longest_event_gap_ms "$line")")
            else
                slow+=("$(field seconds "$line")"); gaps+=("$(field longest_event_gap_ms "$line")")
            fi
        done
    done
    local c f s
    c=$(printf '%s\n' "${cli[@]}" | median)
    f=$(printf '%s\n' "${fast[@]}" | median)
    s=$(printf '%s\n' "${slow[@]}" | median)
    echo "$name: $runs rounds (median wall time; longest event gap over all rounds)"
    printf '  vesk-cli -f rows       %8.3f s   peak %5d MiB   rows=%s\n' "$c" $(( cli_rss / 1024 )) "$(wc -l < "$home/cli.out")"
    printf '  window, Faster         %8.3f s   longest gap %5s ms   rows=%s\n' "$f" \
        "$(printf '%s\n' "${gapf[@]}" | sort -g | tail -1)" "$rows"
    printf '  window, Faster off     %8.3f s   longest gap %5s ms   (window peak %d MiB)\n' "$s" \
        "$(printf '%s\n' "${gaps[@]}" | sort -g | tail -1)" $(( win_rss / 1024 ))
    awk -v w="$f" -v c="$c" -v s="$s" 'BEGIN { printf "  window / cli = %.2f;  Faster off / Faster = %.2f (goal: at most 2)\n", w / c, s / w }'
}

cli_bin=$cli
compare_tree "rows tree, $nrows matching lines" "$tree" "$word"
kernel=${VESK_BENCH_KERNEL:-$cache/linux-source-6.1}
if [[ -d $kernel ]]; then
    compare_tree "kernel tree, pm_resume" "$kernel" pm_resume
fi
