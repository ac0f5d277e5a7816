#!/usr/bin/env python3
"""Explain why vesk-cli and rg/grep report different numbers of matching lines (python3, stdlib).

Usage: explain_diff.py VESK_OUT OTHER_OUT [NAME [CUT_LIST]]

VESK_OUT holds vesk-cli's FILE:LINE:POS:TEXT lines, OTHER_OUT the FILE:LINE:TEXT lines of rg -n or
grep -rn, both run on the same folder given as an absolute path. For every file whose number of
matching lines differs, the file is put in the first category that applies (see README.md):

  cut off at 2 s     listed in CUT_LIST (the files vesk-cli stopped after two seconds; run.sh takes
                     them from the rows of the warm-up run)
  hidden file        its name begins with "." (vesk-cli never takes hidden files)
  symlink            a link to a file (vesk-cli follows it; rg and grep -r do not)
  not text: NUL      fails vesk-cli's text test (first 1000 bytes) and holds a NUL byte there
  not text: 8-bit    fails the text test without a NUL: more than 5 bytes of 128 and above in the
                     first 1000 bytes (UTF-8 or 8-bit text)
  NUL later          a NUL byte after the first 1000 bytes (vesk-cli stops reading there)
  CR line breaks     a CR not followed by LF (a line break for vesk-cli, not for rg and grep)
  other              none of these

File names are taken up to the first ":"; a name holding ":" is miscounted.
"""

import collections
import os
import sys


def per_file(path):
    counts = collections.Counter()
    with open(path, "rb") as f:
        for line in f:
            counts[line.split(b":", 1)[0]] += 1
    return counts


def is_text_byte(b):
    return 32 <= b <= 127 or b in (9, 10, 12, 13)


def category(name, cut):
    if name in cut:
        return "cut off at 2 s"
    if os.path.basename(name).startswith(b"."):
        return "hidden file"
    if os.path.islink(name):
        return "symlink"
    try:
        with open(name, "rb") as f:
            data = f.read()
    except OSError as e:
        return "unreadable (%s)" % e.strerror
    head = data[:1000]
    nontext = sum(1 for b in head if not is_text_byte(b))
    if nontext > 5 or len(head) - nontext < nontext:
        return "not text: NUL" if 0 in head else "not text: 8-bit"
    if b"\0" in data:
        return "NUL later"
    if data.replace(b"\r\n", b"").find(b"\r") >= 0:
        return "CR line breaks"
    return "other"


def main():
    if not 3 <= len(sys.argv) <= 5:
        sys.exit(__doc__)
    vesk = per_file(sys.argv[1])
    other = per_file(sys.argv[2])
    other_name = sys.argv[3] if len(sys.argv) > 3 else "other"
    cut = set()
    if len(sys.argv) > 4:
        with open(sys.argv[4], "rb") as f:
            cut = {ln.rstrip(b"\n") for ln in f}
    files = collections.Counter()
    lines = collections.Counter()
    examples = {}
    for name in sorted(set(vesk) | set(other)):
        d = other[name] - vesk[name]
        if d == 0:
            continue
        c = category(name, cut)
        files[c] += 1
        lines[c] += d
        examples.setdefault(c, name.decode("utf-8", "replace"))
    total_v = sum(vesk.values())
    total_o = sum(other.values())
    print("vesk-cli %d lines, %s %d lines, difference (%s - vesk) %+d"
          % (total_v, other_name, total_o, other_name, total_o - total_v))
    for c in sorted(files, key=lambda k: -abs(lines[k])):
        print("  %-16s %5d files  %+8d lines   e.g. %s" % (c, files[c], lines[c], examples[c]))


if __name__ == "__main__":
    main()
