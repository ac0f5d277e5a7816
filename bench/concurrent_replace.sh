#!/bin/sh
# Two replace runs at once over the same files: counts the saves each run reported as done and
# how many of those are missing from the files afterwards (must be 0).
#   bench/concurrent_replace.sh [VESK_CLI] [ROUNDS] [FILES]
set -eu
cli=${1:-build/app/vesk-cli}
rounds=${2:-10}
files=${3:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VESK_HOME="$work/home"
mkdir -p "$VESK_HOME"
reported=0
lost=0
refused=0
round=0
while [ "$round" -lt "$rounds" ]; do
    rm -rf "$work/tree"
    mkdir -p "$work/tree"
    i=0
    while [ "$i" -lt "$files" ]; do
        printf 'alpha line\nbravo line\n' >"$work/tree/f$i.txt"
        i=$((i + 1))
    done
    "$cli" -s alpha -R ALPHA --yes "$work/tree" >"$work/a.out" 2>"$work/a.err" &
    a=$!
    "$cli" -s bravo -R BRAVO --yes "$work/tree" >"$work/b.out" 2>"$work/b.err" &
    b=$!
    wait "$a" || true
    wait "$b" || true
    for run in a:ALPHA b:BRAVO; do
        out=${run%%:*}
        word=${run#*:}
        for f in $(sed -n 's/^\(.*\): Changes=.*/\1/p' "$work/$out.out"); do
            reported=$((reported + 1))
            grep -q "$word" "$f" || lost=$((lost + 1))
        done
        refused=$((refused + $(grep -c "Changes NOT saved" "$work/$out.err" || true)))
    done
    round=$((round + 1))
done
echo "rounds=$rounds files=$files saves reported=$reported lost=$lost refused with a message=$refused"
