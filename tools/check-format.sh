#!/bin/sh
# Fails when a tracked C++ file differs from .clang-format, naming each such file.
# Run from anywhere inside the repository; `tools/check-format.sh --fix` rewrites them instead.
set -eu
cd "$(git rev-parse --show-toplevel)"
command -v clang-format >/dev/null || { echo "check-format: clang-format is not installed" >&2; exit 2; }
bad=0
for f in $(git ls-files '*.cpp' '*.h'); do
    [ -f "$f" ] || continue
    if ! clang-format "$f" | cmp -s - "$f"; then
        if [ "${1:-}" = "--fix" ]; then
            clang-format -i "$f"
        else
            echo "not formatted: $f (run tools/check-format.sh --fix)"
            bad=1
        fi
    fi
done
exit $bad
