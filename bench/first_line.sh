#!/bin/bash
# How soon vesk-cli's first row reaches a reader through a pipe: the time from the run opening the
# first file that matched to the first write on standard output, as a share of the whole run.
# Usage: bench/first_line.sh [vesk-cli] [tree] [vesk-cli options...]
# Default: build/app/vesk-cli on the kernel tree with -r -m '*' -i -s pm_resume. Needs strace.
set -euo pipefail

cli=${1:-build/app/vesk-cli}
tree=${2:-${VESK_BENCH_CACHE:-$HOME/.cache/vesk-bench}/linux-source-6.1}
shift $(($# < 2 ? $# : 2))
options=("$@")
[ ${#options[@]} -gt 0 ] || options=(-r -m '*' -s pm_resume)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
strace -f -ttt -e trace=openat,write,exit_group -o "$work/trace" \
    "$cli" "${options[@]}" "$tree" > "$work/out" 2>/dev/null || true
first=$(head -n 1 "$work/out" | cut -d: -f1)
[ -n "$first" ] || { echo "no match: nothing to measure"; exit 1; }

python3 - "$work/trace" "$first" <<'EOF'
import os, re, sys
trace, first = sys.argv[1], sys.argv[2]
# Readers open a file relative to its folder (openat on an O_PATH descriptor of the folder), so
# each thread's last folder is followed to know which file an openat of a bare name opens.
start = end = opened = written = None
current = {}
for line in open(trace, errors="replace"):
    m = re.match(r"\s*(\d+)\s+(\d+\.\d+)\s+(.*)", line)
    if not m:
        continue
    pid, t, call = m.group(1), float(m.group(2)), m.group(3)
    start = t if start is None else start
    end = t
    o = re.match(r'openat\((\w+), "([^"]*)"', call)
    if o and "O_PATH" in call:
        current[pid] = o.group(2)
    elif o and opened is None:
        path = o.group(2) if o.group(2).startswith("/") else current.get(pid, "") + o.group(2)
        if path == first:
            opened = t
    if written is None and call.startswith("write(1,"):
        written = t
if opened is None or written is None:
    sys.exit("the trace holds no opening of %s or no write" % first)
run = end - start
print("run %.3f s; first matching file opened at %.3f s; first row written at %.3f s"
      % (run, opened - start, written - start))
print("first row after the first match: %.3f s = %.1f%% of the run"
      % (written - opened, 100.0 * (written - opened) / run))
EOF
