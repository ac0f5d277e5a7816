#!/usr/bin/env bash
# Times a search in the desktop window (offscreen) against the same search in vesk-cli, on the
# tree of bench/gen_corpus.py --rows N (one match row per matching line), and reports the window's
# peak memory and how fast it scrolls to the last row and walks files with Ctrl+N.
#
#   bash bench/window.sh [build folder]        (default: build; needs vesk-cli and the UI tests)
#
# Environment: VESK_BENCH_CACHE (default ~/.cache/vesk-bench), VESK_BENCH_ROWS (default 1000000),
# VESK_BENCH_RUNS (default 3).
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

cli_times=() win_times=() cli_rss=0 win_rss=0 line=""
for (( i = 0; i < runs; i++ )); do
    t0=$EPOCHREALTIME
    /usr/bin/time -f '%M' -o "$home/cli.time" "$cli" -s "$word" -r -f rows "$tree" > "$home/cli.out" 2>/dev/null || true
    t1=$EPOCHREALTIME
    cli_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')")
    m=$(tail -1 "$home/cli.time"); (( m > cli_rss )) && cli_rss=$m

    VESK_BENCH_TREE="$tree/" VESK_BENCH_STRING="$word" /usr/bin/time -f '%M' -o "$home/win.time" \
        "$ui_test" > "$home/win.out" 2>/dev/null
    line=$(grep '^window' "$home/win.out")
    win_times+=("$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<< "$line")")
    m=$(tail -1 "$home/win.time"); (( m > win_rss )) && win_rss=$m
done

cli_med=$(printf '%s\n' "${cli_times[@]}" | median)
win_med=$(printf '%s\n' "${win_times[@]}" | median)
echo "rows tree: $nrows matching lines, $runs runs each (median wall time)"
printf 'vesk-cli -f rows  %8.3f s   peak %6d MiB   rows=%s\n' "$cli_med" $(( cli_rss / 1024 )) "$(wc -l < "$home/cli.out")"
printf 'window (Faster)   %8.3f s   peak %6d MiB   %s\n' "$win_med" $(( win_rss / 1024 )) \
    "$(cut -f3- <<< "$line" | tr '\t' ' ')"
awk -v w="$win_med" -v c="$cli_med" 'BEGIN { printf "window / cli = %.2f (goal: at most 1.5)\n", w / c }'
