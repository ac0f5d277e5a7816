#!/usr/bin/env bash
# Times regular-expression searches of vesk-cli against ripgrep on the Linux 6.1 source tree, all
# files, warm cache. Runs are interleaved (every command once per round, in turn) so that load
# from other processes falls on all of them alike; the table gives the median time of each
# command and the median of the per-round ratios.
#
#   bash bench/regex.sh [path/to/vesk-cli]      (default: build/app/vesk-cli)
#
# Environment:
#   VESK_BENCH_CACHE  where the kernel tree is unpacked (default ~/.cache/vesk-bench)
#   VESK_BENCH_RUNS   rounds, at least 3 (default 5); one untimed warm-up round first
set -euo pipefail

vesk=${1:-build/app/vesk-cli}
case $vesk in /*) ;; *) vesk="$PWD/$vesk" ;; esac
[[ -x $vesk ]] || { echo "regex.sh: no vesk-cli at $vesk (build it first)" >&2; exit 2; }
command -v rg >/dev/null || { echo "regex.sh: ripgrep is missing (apt-get install ripgrep)" >&2; exit 2; }
cache=${VESK_BENCH_CACHE:-$HOME/.cache/vesk-bench}
tree="$cache/linux-source-6.1"
[[ -d $tree ]] || { echo "regex.sh: no kernel tree at $tree (bench/run.sh unpacks it)" >&2; exit 2; }
runs=${VESK_BENCH_RUNS:-5}
(( runs >= 3 )) || runs=3
export LC_ALL=C

# name | command; the rows of one comparison share a group number (the first row of a group is
# what the others are compared with).
commands=(
    "1|vesk -E pm_[a-z]*resume|$vesk -r -m '*' -E -s 'pm_[a-z]*resume' '$tree'"
    "1|rg -i pm_[a-z]*resume|rg -n -i -uuu 'pm_[a-z]*resume' '$tree'"
    "1|rg -j1 -i pm_[a-z]*resume|rg -j1 -n -i -uuu 'pm_[a-z]*resume' '$tree'"
    "2|vesk -E [a-z]+_resume\\(|$vesk -r -m '*' -E -s '[a-z]+_resume\\(' '$tree'"
    "2|rg -i [a-z]+_resume\\(|rg -n -i -uuu '[a-z]+_resume\\(' '$tree'"
    "2|rg -j1 -i [a-z]+_resume\\(|rg -j1 -n -i -uuu '[a-z]+_resume\\(' '$tree'"
    "3|vesk -E copy_from_user|$vesk -r -m '*' -E -s 'copy_from_user' '$tree'"
    "3|vesk copy_from_user (literal)|$vesk -r -m '*' -s 'copy_from_user' '$tree'"
)

declare -A times counts
now() { date +%s%N; }
run_one() { # index -> prints the elapsed seconds, keeps the match count
    local entry=${commands[$1]}
    local cmd=${entry#*|}
    cmd=${cmd#*|}
    local out="$cache/regex-bench-$1.out" t0 t1
    t0=$(now)
    eval "$cmd" > "$out" 2>/dev/null || true
    t1=$(now)
    counts[$1]=$(grep -c '' "$out" || true)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}

echo "vesk-cli: $vesk"
echo "tree: $tree; rounds: $runs (interleaved), after one warm-up round; load: $(cut -d' ' -f1-3 /proc/loadavg)"
for i in "${!commands[@]}"; do run_one "$i" > /dev/null; done
for ((r = 1; r <= runs; r++)); do
    for i in "${!commands[@]}"; do times[$i,$r]=$(run_one "$i"); done
done

median() { tr ' ' '\n' | sort -g | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); if (NR % 2) print v[m]; else printf "%.3f\n", (v[m] + v[m + 1]) / 2 }'; }

printf '\n%-34s %9s %9s %14s\n' "command" "median s" "lines" "ratio (median)"
base=""
group=""
for i in "${!commands[@]}"; do
    entry=${commands[$i]}
    g=${entry%%|*}
    name=${entry#*|}
    name=${name%%|*}
    all=""
    for ((r = 1; r <= runs; r++)); do all+="${times[$i,$r]} "; done
    med=$(echo "$all" | xargs | median)
    if [[ $g != "$group" ]]; then
        group=$g
        base=$i
        ratio="-"
    else
        # The first row of the group against this one, round by round.
        ratios=""
        for ((r = 1; r <= runs; r++)); do
            ratios+=$(awk -v a="${times[$base,$r]}" -v b="${times[$i,$r]}" 'BEGIN { printf "%.3f ", a / b }')
        done
        ratio="$(echo "$ratios" | xargs | median)x"
    fi
    printf '%-34s %9s %9s %14s\n' "$name" "$med" "${counts[$i]}" "$ratio"
done
echo
echo "ratio: the group's first command (vesk-cli) over this one; below 1 means vesk-cli is faster."
echo "Line counts differ by design: vesk-cli skips files that fail its text test (binary files, and"
echo "files with more than five bytes above 127 outside UTF-8 sequences in their first 1000) and"
echo "omits backups and hidden"
echo "folders unless told otherwise; rg -uuu searches everything."
