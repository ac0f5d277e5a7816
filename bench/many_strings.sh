#!/usr/bin/env bash
# Times searches for many strings at once on the Linux 6.1 source tree: 1, 10, 50 and 200 distinct
# identifiers (function names defined in kernel/*.c) given as `-s` options to vesk-cli, against
# ripgrep with the same strings as `-e` options, on all cores and held to one (`-j1`). Then the
# three single-string searches of run.sh. Runs are interleaved (every tool once per round), and
# the tables give medians of wall time and of CPU time (user + system), which suffers less from
# other work on a shared machine. Match counts are printed beside the times as a cross-check.
#
#   bash bench/many_strings.sh [vesk-cli ...]    (default build/app/vesk-cli; several binaries,
#                                                 e.g. before and after a change, are interleaved)
# Environment: VESK_BENCH_CACHE (~/.cache/vesk-bench), VESK_BENCH_RUNS (5), VESK_BENCH_COUNTS
# ("1 10 50 200"), VESK_BENCH_SINGLE (1: also the single-string searches; 0: not).
set -euo pipefail

cache=${VESK_BENCH_CACHE:-$HOME/.cache/vesk-bench}
tree=$cache/linux-source-6.1
runs=${VESK_BENCH_RUNS:-5}
counts=${VESK_BENCH_COUNTS:-1 10 50 200}
single=${VESK_BENCH_SINGLE:-1}
vesks=("$@")
[ ${#vesks[@]} -gt 0 ] || vesks=(build/app/vesk-cli)

for v in "${vesks[@]}"; do
    [ -x "$v" ] || { echo "many_strings.sh: no vesk-cli at $v" >&2; exit 2; }
done
command -v rg >/dev/null || { echo "many_strings.sh: needs ripgrep (apt-get install ripgrep)" >&2; exit 2; }
[ -d "$tree/kernel" ] || { echo "many_strings.sh: no kernel tree at $tree (bench/run.sh unpacks it)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Distinct identifiers of at least 8 characters that open a function definition, every 7th in
# name order, so the set is the same on every run and spread over the alphabet.
rg -oN --no-filename '^[a-z][a-z0-9_ *]*[ *]([a-z_][a-z0-9_]{7,})\(' -r '$1' "$tree"/kernel/*.c |
    LC_ALL=C sort -u | awk 'NR % 7 == 0 && n < 200 {print; ++n}' > "$work/ids"
[ "$(wc -l < "$work/ids")" -ge 200 ] || { echo "many_strings.sh: fewer than 200 identifiers" >&2; exit 2; }

# time_one LABEL CMD...: one run; appends "LABEL wall cpu lines" to the records.
time_one() {
    local label=$1
    shift
    local t0 t1 lines
    t0=$(date +%s.%N)
    lines=$( { /usr/bin/time -f '%U %S' -o "$work/cpu" "$@" 2>/dev/null || true; } | wc -l)
    t1=$(date +%s.%N)
    # A failing command (exit 1: no line matched) has a status line before the times.
    read -r u s < <(tail -1 "$work/cpu")
    echo "$label $(echo "$t1 - $t0" | bc) $(echo "$u + $s" | bc) $lines" >> "$work/records"
}

# A case: NAME, vesk-cli arguments, rg arguments (after "--").
declare -a case_names case_vesk case_rg
add_case() {
    local name=$1
    shift
    local v=() r=()
    while [ "$1" != "--" ]; do v+=("$1"); shift; done
    shift
    r=("$@")
    case_names+=("$name")
    case_vesk+=("$(printf '%q ' "${v[@]}")")
    case_rg+=("$(printf '%q ' "${r[@]}")")
}

for n in $counts; do
    va=() ra=()
    while read -r id; do va+=(-s "$id"); ra+=(-e "$id"); done < <(head -"$n" "$work/ids")
    add_case "strings=$n" "${va[@]}" -- -i "${ra[@]}"
done
if [ "$single" = 1 ]; then
    add_case "-i pm_resume" -s pm_resume -- -i -e pm_resume
    add_case "-i zqxjkvbwq" -s zqxjkvbwq -- -i -e zqxjkvbwq
    add_case "-w -i ERR" -w -s ERR -- -i -w -e ERR
fi

echo "many_strings.sh, $(date '+%Y-%m-%d %H:%M:%S %Z'), $runs interleaved rounds, $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for i in "${!vesks[@]}"; do echo "  vesk$i: ${vesks[$i]}"; done
echo "  rg: $(rg --version | head -1)"

# One untimed warm-up of each case, then the rounds.
for c in "${!case_names[@]}"; do
    eval "rg -n -F -uuu ${case_rg[$c]} \"\$tree\"" > /dev/null 2>&1 || true
done
for ((round = 1; round <= runs; ++round)); do
    for c in "${!case_names[@]}"; do
        for i in "${!vesks[@]}"; do
            eval "time_one \"\$c vesk$i\" \"\${vesks[$i]}\" -r -m '*' --keep-binary ${case_vesk[$c]} \"\$tree\""
        done
        eval "time_one \"\$c rg\" rg -n -F -uuu ${case_rg[$c]} \"\$tree\""
        eval "time_one \"\$c rg-j1\" rg -j1 -n -F -uuu ${case_rg[$c]} \"\$tree\""
    done
done

median() { sort -g | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

printf '\n%-16s %-7s %9s %9s %9s\n' case tool "wall s" "cpu s" lines
for c in "${!case_names[@]}"; do
    for tool in $(for i in "${!vesks[@]}"; do echo "vesk$i"; done) rg rg-j1; do
        sel=$(awk -v k="$c" -v t="$tool" '$1 == k && $2 == t' "$work/records")
        printf '%-16s %-7s %9.2f %9.2f %9s\n' "${case_names[$c]}" "$tool" \
            "$(echo "$sel" | awk '{print $3}' | median)" "$(echo "$sel" | awk '{print $4}' | median)" \
            "$(echo "$sel" | awk '{print $5}' | sort -u | tr '\n' ' ')"
    done
done

# Ratios per round (each round's tools ran side by side), then their medians.
echo
echo "Medians of per-round ratios (wall; cpu)"
for i in "${!vesks[@]}"; do
    for c in "${!case_names[@]}"; do
        for other in rg rg-j1; do
            r=$(awk -v k="$c" -v a="vesk$i" -v b="$other" '
                $1 == k && $2 == a {va[++na] = $3; ca[na] = $4}
                $1 == k && $2 == b {vb[++nb] = $3; cb[nb] = $4}
                END {for (j = 1; j <= na; ++j) print va[j] / vb[j], ca[j] / cb[j]}' "$work/records")
            printf '  %-16s vesk%d/%-6s %6.2f; %6.2f\n' "${case_names[$c]}" "$i" "$other" \
                "$(echo "$r" | awk '{print $1}' | median)" "$(echo "$r" | awk '{print $2}' | median)"
        done
    done
    first=0
    last=$(( $(echo "$counts" | wc -w) - 1 ))
    if [ "$last" -gt 0 ]; then
        r=$(awk -v a="$first vesk$i" -v b="$last vesk$i" '
            ($1 " " $2) == a {x[++nx] = $3; cx[nx] = $4}
            ($1 " " $2) == b {y[++ny] = $3; cy[ny] = $4}
            END {for (j = 1; j <= nx; ++j) print y[j] / x[j], cy[j] / cx[j]}' "$work/records")
        printf '  vesk%d: %s / %s  %6.2f; %6.2f\n' "$i" "${case_names[$last]}" "${case_names[$first]}" \
            "$(echo "$r" | awk '{print $1}' | median)" "$(echo "$r" | awk '{print $2}' | median)"
    fi
done
