#!/usr/bin/env bash
# Times vesk-cli against `grep -rn` and `rg -j1 -n` on the Linux 6.1 source tree and on synthetic
# trees made by bench/gen_corpus.py. Builds nothing: pass the vesk-cli of a Release or
# RelWithDebInfo build.
#
#   bash bench/run.sh [path/to/vesk-cli]        (default: build/app/vesk-cli)
#
# Environment:
#   VESK_BENCH_CACHE  where the kernel tree, the synthetic trees, outputs and results are kept
#                     (default ~/.cache/vesk-bench; never inside the repository)
#   VESK_BENCH_RUNS   timed runs per measurement, at least 3 (default 3); one untimed warm-up first
#   VESK_BENCH_SETS   which sets to run, any of: cores kernel synthetic big rows (default: all five)
#   VESK_BENCH_ROWS   matching lines of the "rows" set (default 1000000)
#   VESK_BENCH_KERNEL_TAR  the kernel source archive (default /usr/src/linux-source-6.1.tar.xz)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)

vesk=${1:-build/app/vesk-cli}
case $vesk in /*) ;; *) vesk="$PWD/$vesk" ;; esac
if [[ ! -x $vesk ]]; then
    echo "run.sh: no vesk-cli at $vesk (build it first, e.g. make build, or pass its path)" >&2
    exit 2
fi

cache=${VESK_BENCH_CACHE:-$HOME/.cache/vesk-bench}
runs=${VESK_BENCH_RUNS:-3}
(( runs >= 3 )) || runs=3
sets=${VESK_BENCH_SETS:-cores kernel synthetic big rows}
nrows=${VESK_BENCH_ROWS:-1000000}
kernel_tar=${VESK_BENCH_KERNEL_TAR:-/usr/src/linux-source-6.1.tar.xz}

case "$(cd "$(dirname "$cache")" 2>/dev/null && pwd)/" in
    "$repo"/*) echo "run.sh: VESK_BENCH_CACHE must be outside the repository" >&2; exit 2 ;;
esac

# Byte semantics for every tool: grep then folds only a-z like vesk-cli; ripgrep ignores the locale.
export LC_ALL=C

# --- tools -----------------------------------------------------------------------------------
need_pkg() { # command package
    command -v "$1" >/dev/null 2>&1 && return 0
    if [[ $(id -u) == 0 ]]; then
        echo "Installing $2 ..." >&2
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$2" >&2
    else
        echo "run.sh: $1 is missing; run: sudo apt-get install -y $2" >&2
        exit 2
    fi
}
need_pkg rg ripgrep
need_pkg /usr/bin/time time
need_pkg python3 python3
need_pkg xz xz-utils
TIME=/usr/bin/time

mkdir -p "$cache/out" "$cache/results"
out="$cache/out"
stamp=$(date +%Y%m%d-%H%M%S)
results_txt="$cache/results/run-$stamp.txt"
records="$cache/results/run-$stamp.tsv"
explain="$cache/results/run-$stamp.diff.txt"
: > "$records"
: > "$explain"

# Everything printed from here on is also kept in $results_txt.
exec > >(tee "$results_txt") 2>&1

# --- corpora (made once, reused) -------------------------------------------------------------
kernel_dir="$cache/linux-source-6.1"
prepare_kernel() {
    [[ -d $kernel_dir ]] && return 0
    [[ -f $kernel_tar ]] || { echo "run.sh: $kernel_tar is missing (apt-get install linux-source-6.1)"; return 1; }
    echo "Unpacking $kernel_tar into $cache (once) ..."
    rm -rf "$cache/.unpack"
    mkdir -p "$cache/.unpack"
    tar -xJf "$kernel_tar" -C "$cache/.unpack"
    mv "$cache/.unpack/linux-source-6.1" "$kernel_dir"
    rm -rf "$cache/.unpack"
}

gen_sha=$(sha256sum "$here/gen_corpus.py" | cut -c1-16)
# generate NAME ARGS...: $cache/NAME made by gen_corpus.py ARGS, remade when the generator changed.
generate() {
    local name=$1; shift
    local dir="$cache/$name" stampf="$cache/$name.stamp" want="$gen_sha $*"
    if [[ -d $dir && -f $stampf && $(head -1 "$stampf") == "$want" ]]; then return 0; fi
    echo "Generating $dir (gen_corpus.py $*) ..."
    rm -rf "$dir" "$stampf" "$cache/$name.expected"
    python3 "$here/gen_corpus.py" "$@" --expected "$cache/$name.expected" "$dir" >/dev/null
    echo "$want" > "$stampf"
}

expected() { # set search-label -> expected count or "-"
    local f="$cache/$1.expected"
    [[ -f $f ]] || { echo "-"; return; }
    awk -F'\t' -v s="$2" '$1 !~ /^#/ && $2 == s { print $3; found=1 } END { if (!found) print "-" }' "$f"
}

# --- measuring -------------------------------------------------------------------------------
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure SET SEARCH TOOL EXPECTED CMD...: one untimed warm-up, then $runs timed runs. stdout goes
# to a file (never /dev/null: grep stops at the first match when its output is /dev/null).
measure() {
    local set=$1 search=$2 tool=$3 exp=$4; shift 4
    local base="$out/$set.$tool.$(echo "$search" | tr -c 'A-Za-z0-9_\n' '_')"
    local note="" times=() cpus=() rss=0 count="" c t0 t1 r i m u sy
    if [[ $tool == vesk ]]; then
        # The warm-up run writes every row, so that files cut off by the 2-second limit show.
        "${@:1:$#-1}" -f rows "${@: -1}" > "$base.warmup" 2> "$base.err" || true
        awk -F'\t' '$4 == "Searching File too slow" { print $2 }' "$base.warmup" > "$base.cut"
        c=$(wc -l < "$base.cut")
        (( c > 0 )) && note="$c file(s) cut off after 2 s"
    else
        "$@" > "$base.warmup" 2> "$base.err" || true
    fi
    rm -f "$base.warmup"
    for (( i = 0; i < runs; i++ )); do
        t0=$EPOCHREALTIME
        r=0
        $TIME -f '%M %U %S' -o "$base.time" "$@" > "$base.out" 2> "$base.err" || r=$?
        t1=$EPOCHREALTIME
        if (( r > 1 )); then note="${note:+$note; }exit status $r"; fi
        times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')")
        read -r m u sy < <(tail -1 "$base.time")
        (( m > rss )) && rss=$m
        cpus+=("$(awk -v a="$u" -v b="$sy" 'BEGIN { printf "%.2f", a + b }')")
        c=$(wc -l < "$base.out")
        if [[ -n $count && $c != "$count" ]]; then note="${note:+$note; }counts differ between runs"; fi
        count=$c
    done
    local status=""
    [[ $tool == vesk ]] && status=$(tail -1 "$base.err")
    local med cpu
    med=$(printf '%s\n' "${times[@]}" | median)
    cpu=$(printf '%s\n' "${cpus[@]}" | median)
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$set" "$search" "$tool" "$med" \
        "$(printf '%s ' "${times[@]}")" "$count" "$exp" \
        "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "$note" "$status" "$cpu" >> "$records"
    printf '  %-5s %-14s %8.3f s  cpu %6.2f s  %9s lines  %8.1f MiB  runs: %s\n' "$tool" "$search" "$med" \
        "$cpu" "$count" "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" "${times[*]}"
    rm -f "$base.time"
    last_out="$base.out"
}

# compare SET DIR SEARCH VESK-ARGS -- TOOL-ARGS: the same search with the three tools.
compare() {
    local set=$1 dir=$2 search=$3; shift 3
    local vargs=() targs=()
    while [[ $1 != -- ]]; do vargs+=("$1"); shift; done
    shift
    targs=("$@")
    local exp
    exp=$(expected "$set" "$search")
    local vout rout
    measure "$set" "$search" vesk "$exp" "$vesk" -r -m '*' --keep-binary "${vargs[@]}" "$dir"
    vout=$last_out
    measure "$set" "$search" rg "$exp" rg -j1 -n -F -uuu "${targs[@]}" "$dir"
    rout=$last_out
    measure "$set" "$search" grep "$exp" grep -rnF "${targs[@]}" "$dir"
    rm -f "$last_out"
    # Where vesk-cli and rg disagree, say which files make the difference and why.
    # (Totals can agree while files differ, so the files are compared one by one.)
    local d
    d=$(python3 "$here/explain_diff.py" "$vout" "$rout" rg "${vout%.out}.cut")
    if [[ $(printf '%s\n' "$d" | wc -l) -gt 1 ]]; then
        printf '%s\n' "$d" | sed 's/^/        /'
        printf '%-14s %s: %s\n' "$set" "$search" "$d" >> "$explain"
    fi
    rm -f "$vout" "$rout" "${vout%.out}.cut"
}

# The six searches: case-insensitive first (the default of vesk-cli), then case-sensitive.
six_searches() { # SET DIR
    compare "$1" "$2" "pm_resume"    -s pm_resume       -- -i pm_resume
    compare "$1" "$2" "zqxjkvbwq"    -s zqxjkvbwq       -- -i zqxjkvbwq
    compare "$1" "$2" "-w ERR"       -w -s ERR          -- -i -w ERR
    compare "$1" "$2" "-c pm_resume" -c -s pm_resume    -- pm_resume
    compare "$1" "$2" "-c zqxjkvbwq" -c -s zqxjkvbwq    -- zqxjkvbwq
    compare "$1" "$2" "-c -w ERR"    -c -w -s ERR       -- -w ERR
}

# cores DIR: vesk-cli on every core (VESK_WORKERS unset) beside plain rg, and vesk-cli with one
# thread (VESK_WORKERS=1) beside rg -j1, on the three case-insensitive searches. The four commands
# of a search take turns in every round (interleaved, so a burst of load hits all of them alike);
# the table gives median times, the median of the per-round ratios and the peak memory.
cores_records="$cache/results/run-$stamp.cores.tsv"
cores_set() {
    local dir=$1 label r i tool t0 t1 m
    : > "$cores_records"
    local -a labels=("-i pm_resume" "-i zqxjkvbwq" "-w -i ERR")
    local -a vargs_list=("-s pm_resume" "-s zqxjkvbwq" "-w -s ERR")
    local -a rargs_list=("-i pm_resume" "-i zqxjkvbwq" "-i -w ERR")
    for i in 0 1 2; do
        label=${labels[$i]}
        local -a va rA
        read -r -a va <<< "${vargs_list[$i]}"
        read -r -a rA <<< "${rargs_list[$i]}"
        for (( r = 0; r <= runs; r++ )); do # round 0 warms up and is not kept
            for tool in vesk rg vesk1 rg1; do
                local -a c
                case $tool in
                    vesk)  c=(env -u VESK_WORKERS "$vesk" -r -m '*' --keep-binary "${va[@]}" "$dir") ;;
                    vesk1) c=(env VESK_WORKERS=1 "$vesk" -r -m '*' --keep-binary "${va[@]}" "$dir") ;;
                    rg)    c=(rg -n -F -uuu "${rA[@]}" "$dir") ;;
                    rg1)   c=(rg -j1 -n -F -uuu "${rA[@]}" "$dir") ;;
                esac
                t0=$EPOCHREALTIME
                $TIME -f '%M' -o "$out/cores.time" "${c[@]}" > "$out/cores.$tool.out" 2> /dev/null || true
                t1=$EPOCHREALTIME
                (( r == 0 )) && continue
                m=$(tail -1 "$out/cores.time")
                printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$label" "$r" "$tool" \
                    "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')" "$m" \
                    "$(wc -l < "$out/cores.$tool.out")" >> "$cores_records"
            done
        done
        rm -f "$out"/cores.*.out "$out/cores.time"
    done
    echo
    echo "Every core and one thread, kernel tree, $runs interleaved rounds (median; ratio = median of per-round ratios)"
    awk -F'\t' '
        function med(list,   n, a, i, j, t) {
            n = split(list, a, " ")
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
        }
        { k = $1; if (!(k in seen)) { seen[k] = 1; order[++n] = k }
          t[k, $3] = t[k, $3] " " $4; w[k, $2, $3] = $4; rounds[k, $2] = 1
          if ($5 > mem[k, $3]) mem[k, $3] = $5; lines[k, $3] = $6 }
        END {
            printf "%-13s %9s %9s %8s   %9s %9s %8s   %10s %10s %8s %8s\n", "search", "vesk", "rg", "vesk/rg", "vesk -1", "rg -j1", "ratio", "vesk MiB", "vesk1 MiB", "rg MiB", "lines"
            for (i = 1; i <= n; i++) {
                k = order[i]; ra = ""; r1 = ""
                for (kk in rounds) { split(kk, p, SUBSEP); if (p[1] != k) continue
                    ra = ra " " w[k, p[2], "vesk"] / w[k, p[2], "rg"]; r1 = r1 " " w[k, p[2], "vesk1"] / w[k, p[2], "rg1"] }
                printf "%-13s %8.3fs %8.3fs %8.2f   %8.3fs %8.3fs %8.2f   %10.1f %10.1f %8.1f %8s\n", k,
                    med(t[k, "vesk"]), med(t[k, "rg"]), med(ra), med(t[k, "vesk1"]), med(t[k, "rg1"]), med(r1),
                    mem[k, "vesk"] / 1024, mem[k, "vesk1"] / 1024, mem[k, "rg"] / 1024, lines[k, "vesk"] "/" lines[k, "rg"]
            }
        }' "$cores_records"
    echo "Raw rounds: $cores_records"
}

# --- the run ---------------------------------------------------------------------------------
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$(dirname "$vesk")/../CMakeCache.txt" 2>/dev/null || true)
echo "vesk-cli benchmark, $(date '+%Y-%m-%d %H:%M:%S %Z')"
echo "  vesk-cli:  $vesk (build type: ${build_type:-unknown}; tree at $(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo '?'))"
echo "  rg:        $(rg --version | head -1);  grep: $(grep --version | head -1)"
echo "  machine:   $(uname -srm), $(nproc) CPUs, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
echo "  load:      $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min)"
echo "  cache:     $cache;  timed runs per measurement: $runs (after one warm-up);  LC_ALL=C"
case $build_type in
    Release|RelWithDebInfo) ;;
    *) echo "  WARNING: vesk-cli is not a Release/RelWithDebInfo build; its times mean little." ;;
esac
echo

for s in $sets; do
    case $s in
        cores)
            prepare_kernel
            echo "== cores: $kernel_dir"
            cores_set "$kernel_dir" ;;
        kernel)
            prepare_kernel
            echo "== kernel: $kernel_dir"
            six_searches kernel "$kernel_dir" ;;
        synthetic)
            generate synthetic
            echo "== synthetic: $cache/synthetic"
            six_searches synthetic "$cache/synthetic" ;;
        big)
            generate big --big --no-tree
            echo "== big: one 1 GiB file in $cache/big"
            compare big "$cache/big" "pm_resume" -s pm_resume -- -i pm_resume ;;
        rows)
            generate "rows-$nrows" --rows "$nrows"
            echo "== rows-$nrows: a search that matches $nrows lines"
            compare "rows-$nrows" "$cache/rows-$nrows" "vbrowmark" -s vbrowmark -- -i vbrowmark ;;
        *) echo "run.sh: unknown set $s" >&2; exit 2 ;;
    esac
done

# --- tables ----------------------------------------------------------------------------------
echo
[[ -s $records ]] || { echo; echo "Load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"; exit 0; }
echo "Results (median of $runs runs; wall s = elapsed time, cpu s = user + system time;"
echo "         matches = output lines; expected = counted by gen_corpus.py; peak MiB = max RSS)"
awk -F'\t' '
    BEGIN { printf "%-14s %-13s %-5s %8s %7s %10s %10s %9s  %s\n", "set", "search", "tool", "wall s", "cpu s", "matches", "expected", "peak MiB", "note" }
    { printf "%-14s %-13s %-5s %8.3f %7.2f %10s %10s %9s  %s\n", $1, $2, $3, $4, $11, $6, $7, $8, $9 }' "$records"

echo
echo "Ratios of median times (vesk/rg above 1: vesk-cli slower than rg; grep/vesk above 1: vesk-cli faster than grep)"
awk -F'\t' '
    function q(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
    { k = $1 SUBSEP $2; if (!(k in seen)) { seen[k] = 1; order[++n] = k } t[k, $3] = $4; c[k, $3] = $11 }
    END {
        printf "%-14s %-13s %9s %9s   %11s %13s\n", "set", "search", "vesk/rg", "grep/vesk", "cpu vesk/rg", "cpu grep/vesk"
        for (i = 1; i <= n; i++) {
            k = order[i]; split(k, p, SUBSEP)
            printf "%-14s %-13s %9s %9s   %11s %13s\n", p[1], p[2], q(t[k, "vesk"], t[k, "rg"]), q(t[k, "grep"], t[k, "vesk"]),
                q(c[k, "vesk"], c[k, "rg"]), q(c[k, "grep"], c[k, "vesk"])
        }
    }' "$records"

echo
echo "Case-insensitive / case-sensitive (median time of the search without -c over the one with -c)"
awk -F'\t' '
    function q(a, b) { return b > 0 ? sprintf("%.2f", a / b) : "-" }
    { t[$1, $2, $3] = $4; c[$1, $2, $3] = $11; if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
    END {
        printf "%-14s %-13s %7s %7s %7s   %8s %7s %7s\n", "set", "search", "vesk", "rg", "grep", "cpu vesk", "rg", "grep"
        split("pm_resume|zqxjkvbwq|-w ERR", ss, "|")
        split("vesk rg grep", tools, " ")
        for (i = 1; i <= n; i++) for (j = 1; j <= 3; j++) {
            s = order[i]; a = ss[j]; b = "-c " a
            if (!((s, a, "vesk") in t) || !((s, b, "vesk") in t)) continue
            line = sprintf("%-14s %-13s", s, a)
            for (m = 1; m <= 3; m++) line = line sprintf(" %7s", q(t[s, a, tools[m]], t[s, b, tools[m]]))
            line = line "  "
            for (m = 1; m <= 3; m++) line = line sprintf(" %7s", q(c[s, a, tools[m]], c[s, b, tools[m]]))
            print line
        }
    }' "$records"

if [[ -s $explain ]]; then
    echo
    echo "Why vesk-cli and rg count differently (rg - vesk, by file category; see bench/README.md)"
    cat "$explain"
fi

echo
echo "vesk-cli status lines (stderr of the last timed run)"
awk -F'\t' '$3 == "vesk" { printf "%-14s %-13s %s\n", $1, $2, $10 }' "$records"

echo
echo "Load at the end: $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min), $(date '+%Y-%m-%d %H:%M:%S %Z')"
echo "Raw records: $records"
echo "This output:  $results_txt"
