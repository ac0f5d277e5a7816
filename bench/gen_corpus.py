#!/usr/bin/env python3
"""Deterministic synthetic corpus for the vesk-cli benchmarks (python3, standard library only).

Usage:
  gen_corpus.py OUT                 a source tree: a few thousand folders of C, Pascal and Python-like
                                    files, binary files, and files with very long lines
  gen_corpus.py --big OUT           the tree and one file of 1 GiB of source-like lines (OUT/huge/)
  gen_corpus.py --big --no-tree OUT only the 1 GiB file
  gen_corpus.py --rows N OUT        a tree in which a search for the fixed string ROWS_WORD (below)
                                    matches exactly N lines, spread over many files

The same arguments always write the same bytes (fixed seed; nothing depends on the clock, the
machine or the order of a directory listing). OUT must not exist or be empty.

Besides the files, the generator prints (and with --expected FILE writes) the number of lines that
each benchmark search is expected to match, counted while the lines are made. The counts hold for
tools that match bytes and fold only the letters a-z / A-Z, and they cover the text files only: the
binary files never hold a letter of the searched words, and every text file is plain ASCII without
NUL bytes, so all tools agree on them.
"""

import argparse
import os
import random
import re
import sys

SEED = 20240611
ROWS_WORD = "vbrowmark"

# The searches whose expected counts are reported: (name, word, whole words, case-sensitive).
SEARCHES = [
    ("pm_resume", "pm_resume", False, False),
    ("zqxjkvbwq", "zqxjkvbwq", False, False),
    ("-w ERR", "ERR", True, False),
    ("-c pm_resume", "pm_resume", False, True),
    ("-c zqxjkvbwq", "zqxjkvbwq", False, True),
    ("-c -w ERR", "ERR", True, True),
]

WORD_CLASS = "A-Za-z0-9_"


def compile_search(word, whole, case_sensitive):
    pat = re.escape(word)
    if whole:
        pat = "(?<![%s])%s(?![%s])" % (WORD_CLASS, pat, WORD_CLASS)
    flags = re.ASCII | (0 if case_sensitive else re.IGNORECASE)
    return re.compile(pat, flags)


SEARCH_RES = [compile_search(w, ww, cs) for (_, w, ww, cs) in SEARCHES]
ROWS_RE = re.compile(re.escape(ROWS_WORD), re.IGNORECASE | re.ASCII)


def line_flags(line):
    """A tuple of 0/1, one per search of SEARCHES: does the line match it."""
    return tuple(1 if r.search(line) else 0 for r in SEARCH_RES)


# ----------------------------------------------------------------------------------------------
# Source-like lines

SYLLABLES = ("ka to mi ra ve lo bu sen dar fel gro hin jup kel mor nas pil qua rik sto tum "
             "vex wal yon zed ab el in or us at ex im on un cor dev buf reg irq clk pwr "
             "map set get put cnt idx len ptr tmp ctx ops drv bus cfg msg req").split()
# "map" alone as a folder or file name part is harmless; no name may hold ".map" etc. (see names).

C_TYPES = ["int", "unsigned int", "u32", "u64", "size_t", "bool", "char *", "void *",
           "struct %s *", "const struct %s *", "long", "u8"]
PAS_TYPES = ["Integer", "Cardinal", "string", "Boolean", "TObject", "TStringList", "Int64",
             "T%s", "Double", "PChar"]
ENGLISH = ("the a of to and in is for on with this that be when not are from it if "
           "buffer device driver value list entry handle state timer queue count lock "
           "first last next previous free allocate release update check return error "
           "file line folder search string window").split()


class LineMaker:
    """Makes source-like lines; the searched words go in at fixed rates."""

    # Per line, the chance that a searched word (or a relative, or a near miss) is appended to it;
    # besides, 1 % of the identifiers are such words (special).
    RATE_PM = 1 / 600      # pm_resume and relatives, various cases
    RATE_ERR = 1 / 150     # ERR, err, IS_ERR, ERR_PTR, ERROR, ...
    RATE_NEAR = 1 / 4000   # near misses of zqxjkvbwq (never the full word)

    PM_FORMS = ["pm_resume", "pm_resume", "dev_pm_resume", "pm_resume_noirq", "PM_RESUME",
                "Pm_Resume", "acpi_pm_resume_early", "xpm_resumer"]
    ERR_FORMS = ["ERR", "err", "Err", "IS_ERR", "PTR_ERR", "ERR_PTR", "ERROR", "errno",
                 "ERR_CAST", "EERR", "err2"]
    NEAR_FORMS = ["zqxjkvbw", "qxjkvbwq", "zqxjkvb_wq", "ZQXJKV"]

    def __init__(self, rnd):
        self.r = rnd

    def ident(self, parts=None):
        r = self.r
        n = parts or r.choice((1, 2, 2, 2, 3, 3, 4))
        s = "_".join(r.choice(SYLLABLES) for _ in range(n))
        roll = r.random()
        if roll < 0.01 and not parts:
            return self.special()
        return s

    def special(self):
        """An identifier that is one of the searched words or a relative of one (1 % of them)."""
        r = self.r
        pick = r.random()
        if pick < 0.2:
            return r.choice(self.PM_FORMS)
        if pick < 0.9:
            return r.choice(self.ERR_FORMS)
        return r.choice(self.NEAR_FORMS)

    def camel(self):
        r = self.r
        return "".join(r.choice(SYLLABLES).capitalize() for _ in range(r.choice((1, 2, 3))))

    def words(self, lo, hi):
        r = self.r
        return " ".join(r.choice(ENGLISH) for _ in range(r.randint(lo, hi)))

    def num(self):
        r = self.r
        return r.choice((str(r.randint(0, 99)), hex(r.randint(0, 65535)), "0", "1"))

    # C
    def c_line(self):
        r = self.r
        i = self.ident
        k = r.randrange(16)
        ind = "\t" * r.choice((0, 1, 1, 1, 2, 2, 3))
        if k == 0:
            t = r.choice(C_TYPES)
            if "%s" in t:
                t = t % i()
            return "static %s %s(%s, %s)" % (t, i(), "struct %s *%s" % (i(), i(1)), "int " + i(1))
        if k == 1:
            return "%sif (%s(%s, %s) < 0)" % (ind, i(), i(1), self.num())
        if k == 2:
            return "%sreturn -%s;" % (ind, r.choice(("EINVAL", "ENOMEM", "EIO", "EBUSY", "ENODEV")))
        if k == 3:
            return "#define %s %s" % (i().upper(), self.num())
        if k == 4:
            return "%s/* %s */" % (ind, self.words(3, 12))
        if k == 5:
            return "%s%s->%s = %s + %s;" % (ind, i(1), i(), i(), self.num())
        if k == 6:
            return "%s%s = %s(%s, %s);" % (ind, i(1), i(), i(1), i())
        if k == 7:
            return ind + r.choice(("{", "}", "break;", "continue;", "default:", "else", "}", ""))
        if k == 8:
            return "#include <%s/%s.h>" % (r.choice(("linux", "asm", "sys", "net")), i())
        if k == 9:
            return "%sfor (%s = 0; %s < %s; %s++)" % (ind, "i", "i", i().upper(), "i")
        if k == 10:
            return "%s%s(%s, \"%s: %%d\\n\", %s);" % (ind, r.choice(("pr_info", "dev_dbg", "printk")),
                                                      i(1), self.words(2, 6), i())
        if k == 11:
            t = r.choice(C_TYPES)
            if "%s" in t:
                t = t % i()
            return "%s%s %s;" % (ind, t, i())
        if k == 12:
            return "%scase %s:" % (ind, i().upper())
        if k == 13:
            return " * %s" % self.words(4, 14)
        if k == 14:
            return "%swhile (%s && !%s(%s))" % (ind, i(1), i(), i(1))
        return "%s%s(%s);" % (ind, i(), ", ".join(i() for _ in range(r.randint(0, 4))))

    # Pascal
    def pas_line(self):
        r = self.r
        c = self.camel
        k = r.randrange(12)
        ind = "  " * r.choice((0, 1, 1, 2, 2, 3))
        if k == 0:
            return "procedure T%s.%s(Sender: TObject);" % (c(), c())
        if k == 1:
            t = r.choice(PAS_TYPES)
            if "%s" in t:
                t = t % c()
            return "function %s(const %s: %s): %s;" % (c(), c(), r.choice(PAS_TYPES).replace("%s", "X"), t)
        if k == 2:
            return "%sif Assigned(%s) then" % (ind, c())
        if k == 3:
            return "%s%s := %s + %s;" % (ind, c(), c(), self.num())
        if k == 4:
            return ind + r.choice(("begin", "end;", "end", "try", "finally", "except", "else"))
        if k == 5:
            return "%s{ %s }" % (ind, self.words(3, 10))
        if k == 6:
            return "%s%s.%s(%s, '%s');" % (ind, c(), c(), self.ident(), self.words(1, 4))
        if k == 7:
            return "%s%s: %s;" % (ind, c(), r.choice(PAS_TYPES).replace("%s", c()))
        if k == 8:
            return "%sfor I := 0 to %s.Count - 1 do" % (ind, c())
        if k == 9:
            return "%s// %s" % (ind, self.words(3, 10))
        if k == 10:
            return "%sResult := %s(%s);" % (ind, c(), self.ident())
        return "%s%s;" % (ind, self.ident())

    # Python
    def py_line(self):
        r = self.r
        i = self.ident
        k = r.randrange(10)
        ind = "    " * r.choice((0, 1, 1, 2, 2, 3))
        if k == 0:
            return "def %s(self, %s, %s=None):" % (i(), i(1), i(1))
        if k == 1:
            return "%sreturn self.%s(%s)" % (ind, i(), i(1))
        if k == 2:
            return "%s# %s" % (ind, self.words(3, 12))
        if k == 3:
            return "%s%s = %s.%s(%s)" % (ind, i(), i(1), i(), self.num())
        if k == 4:
            return "%sif %s is not None and %s > %s:" % (ind, i(1), i(), self.num())
        if k == 5:
            return "import %s" % i()
        if k == 6:
            return "class %s(%s):" % (self.camel(), self.camel())
        if k == 7:
            return "%sraise ValueError(\"%s\")" % (ind, self.words(2, 6))
        if k == 8:
            return "%sfor %s in %s:" % (ind, i(1), i())
        return ind + r.choice(("pass", "else:", "try:", "", "continue"))

    def line(self, lang):
        r = self.r
        ln = (self.c_line, self.pas_line, self.py_line)[lang]()
        # The searched words at their per-line rates, on top of what identifiers bring.
        roll = r.random()
        if roll < self.RATE_PM:
            ln += r.choice(("  /* %s */", " %s", "\t%s();")) % r.choice(self.PM_FORMS)
        elif roll < self.RATE_PM + self.RATE_ERR:
            ln += r.choice(("  /* %s */", " %s", "\treturn %s;")) % r.choice(self.ERR_FORMS)
        elif roll < self.RATE_PM + self.RATE_ERR + self.RATE_NEAR:
            ln += " " + r.choice(self.NEAR_FORMS)
        return ln


class Pool:
    """A fixed pool of distinct lines per language, each with its match flags."""

    def __init__(self, rnd, size):
        maker = LineMaker(rnd)
        self.lines = []
        self.flags = []
        for lang in range(3):
            lines = []
            flags = []
            for _ in range(size):
                ln = maker.line(lang)
                if ROWS_RE.search(ln):
                    continue
                lines.append(ln)
                flags.append(line_flags(ln))
            self.lines.append(lines)
            self.flags.append(flags)


def add_counts(total, flags):
    for k, v in enumerate(flags):
        total[k] += v


class Writer:
    def __init__(self, out):
        self.out = out
        self.files = 0
        self.bytes = 0
        self.folders = set()

    def write(self, rel, data):
        path = os.path.join(self.out, rel)
        d = os.path.dirname(path)
        if d not in self.folders:
            os.makedirs(d, exist_ok=True)
            self.folders.add(d)
        with open(path, "wb") as f:
            f.write(data)
        self.files += 1
        self.bytes += len(data)


def text_file(rnd, pool, lang, nlines, crlf, counts):
    """A file of nlines lines drawn from the pool; adds its matches to counts."""
    lines = pool.lines[lang]
    flags = pool.flags[lang]
    n = len(lines)
    idx = [rnd.randrange(n) for _ in range(nlines)]
    for k in range(len(SEARCHES)):
        counts[k] += sum(flags[i][k] for i in idx)
    eol = "\r\n" if crlf else "\n"
    return (eol.join(lines[i] for i in idx) + eol).encode("ascii")


def binary_file(rnd, kind, size):
    """Binary data that never holds a letter (so no searched word can occur in it)."""
    if kind == 0:
        # Random bytes with the letters mapped away.
        raw = rnd.randbytes(size)
        return raw.translate(NO_LETTERS)
    if kind == 1:
        # An object-file-like layout: a header, NUL padding, tables of small integers.
        out = bytearray(b"\x7fELF\x02\x01\x01" + b"\0" * 57)
        while len(out) < size:
            out += bytes((rnd.randrange(8), 0, 0, 0, rnd.randrange(256) & 0x3F, 0, 0, 0))
            if rnd.random() < 0.01:
                out += b"\0" * rnd.randrange(64, 512)
        return bytes(out[:size]).translate(NO_LETTERS)
    # UTF-16-like text of digits and punctuation: every second byte is NUL.
    s = "".join(rnd.choice("0123456789 ,;:=+-()[]{}\n") for _ in range(size // 2))
    return s.encode("utf-16-le").translate(NO_LETTERS)


def _no_letters_table():
    t = bytearray(range(256))
    for b in range(256):
        if (65 <= b <= 90) or (97 <= b <= 122):
            t[b] = 0x80 + (b & 0x1F)
    return bytes(t)


NO_LETTERS = _no_letters_table()


def long_line_file(rnd, pool, nlines, line_len, counts):
    """A few very long lines (a minified or generated file) and short lines around them."""
    maker_lines = pool.lines[0]
    out = []
    for j in range(nlines):
        parts = []
        size = 0
        while size < line_len:
            piece = maker_lines[rnd.randrange(len(maker_lines))].strip()
            parts.append(piece)
            size += len(piece) + 1
        ln = " ".join(parts).replace("\t", " ")
        out.append(ln)
        out.append("/* %d */" % j)
    for ln in out:
        add_counts(counts, line_flags(ln))
    return ("\n".join(out) + "\n").encode("ascii")


def name(rnd, parts=2):
    return "_".join(rnd.choice(SYLLABLES) for _ in range(parts))


def make_folders(rnd, count):
    """count folder paths (relative), nested up to five levels, unique and in a fixed order."""
    folders = []
    seen = set()
    tops = []
    while len(tops) < 24:
        t = name(rnd, 1) + rnd.choice(("", "s", "_x", "2"))
        if t not in seen:
            seen.add(t)
            tops.append(t)
    folders.extend(tops)
    while len(folders) < count:
        parent = folders[rnd.randrange(len(folders))]
        if parent.count("/") >= 5:
            continue
        child = parent + "/" + name(rnd, rnd.choice((1, 1, 2)))
        if child in seen:
            continue
        seen.add(child)
        folders.append(child)
    return folders


EXT = {0: (".c", ".c", ".h", ".c"), 1: (".pas", ".pas", ".inc", ".dpr"), 2: (".py", ".py", ".pyi")}


def gen_tree(out, rnd, pool, w):
    counts = [0] * len(SEARCHES)
    folders = make_folders(rnd, 3000)
    used = set()

    def unique(rel):
        while rel in used:
            base, ext = os.path.splitext(rel)
            rel = base + "_1" + ext
        used.add(rel)
        return rel

    # Source-like text files: about 16,000 files, most of them small, a few large. Every folder
    # is made, also those that get no file.
    for folder in folders:
        os.makedirs(os.path.join(out, folder), exist_ok=True)
        for _ in range(rnd.choice((0, 1, 2, 3, 4, 5, 6, 8, 10, 14))):
            lang = rnd.choice((0, 0, 0, 1, 1, 2))
            size_roll = rnd.random()
            if size_roll < 0.65:
                nlines = rnd.randint(10, 150)
            elif size_roll < 0.97:
                nlines = rnd.randint(150, 900)
            else:
                nlines = rnd.randint(900, 5000)
            crlf = lang == 1 and rnd.random() < 0.7
            ext = rnd.choice(EXT[lang])
            rel = unique("%s/%s%s" % (folder, name(rnd), ext))
            w.write(rel, text_file(rnd, pool, lang, nlines, crlf, counts))
        # Files without an extension and backup-like names (vesk-cli takes them with --keep-binary).
        if rnd.random() < 0.05:
            rel = unique("%s/%s" % (folder, rnd.choice(("Makefile", "README", "Kconfig", "NOTES"))))
            w.write(rel, text_file(rnd, pool, 0, rnd.randint(10, 80), False, counts))
        if rnd.random() < 0.02:
            rel = unique("%s/%s%s" % (folder, name(rnd), rnd.choice((".pas.bak", ".~pas", ".c.orig"))))
            w.write(rel, text_file(rnd, pool, 1, rnd.randint(50, 400), True, counts))

    # Binary files: about 600, 1 KB to 256 KB.
    for k in range(600):
        folder = folders[rnd.randrange(len(folders))]
        kind = k % 3
        ext = (".o", ".bin", ".res")[kind]
        size = rnd.choice((1024, 4096, 16384, 65536, 262144)) + rnd.randrange(1000)
        rel = unique("%s/%s%s" % (folder, name(rnd), ext))
        w.write(rel, binary_file(rnd, kind, size))

    # Files with very long lines: 24 files of 2 to 6 lines of 100 KB to 800 KB each.
    for k in range(24):
        folder = folders[rnd.randrange(len(folders))]
        rel = unique("%s/%s.min.js" % (folder, name(rnd)))
        w.write(rel, long_line_file(rnd, pool, rnd.randint(2, 6),
                                    rnd.choice((100_000, 200_000, 400_000, 800_000)), counts))
    return counts, len(folders)


def gen_big(out, rnd, pool, w, total_bytes):
    """One file of total_bytes bytes of C-like lines, written in blocks of 4 MiB."""
    block_size = 4 << 20
    nblocks_distinct = 16
    blocks = []
    for _ in range(nblocks_distinct):
        counts = [0] * len(SEARCHES)
        lines = pool.lines[0]
        flags = pool.flags[0]
        parts = []
        size = 0
        while True:
            i = rnd.randrange(len(lines))
            ln = lines[i]
            if size + len(ln) + 1 > block_size - 64:
                break
            parts.append(ln)
            size += len(ln) + 1
            add_counts(counts, flags[i])
        filler = block_size - size - 1
        # One comment line fills the block to its exact size.
        parts.append("//" + "-" * (filler - 2))
        data = ("\n".join(parts) + "\n").encode("ascii")
        assert len(data) == block_size
        blocks.append((data, counts))
    counts = [0] * len(SEARCHES)
    path = os.path.join(out, "huge", "huge_source.c")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    written = 0
    with open(path, "wb") as f:
        while written < total_bytes:
            data, c = blocks[rnd.randrange(nblocks_distinct)]
            if written + len(data) > total_bytes:
                # The last, partial block: cut it after a whole line.
                cut = data.rfind(b"\n", 0, total_bytes - written) + 1
                data = data[:cut]
                c = [0] * len(SEARCHES)
                for ln in data.decode("ascii").split("\n")[:-1]:
                    add_counts(c, line_flags(ln))
                if not data:
                    break
            f.write(data)
            written += len(data)
            add_counts(counts, c)
    w.files += 1
    w.bytes += written
    return counts


def gen_rows(out, rnd, pool, w, nrows):
    """Files of 1,000 matching lines (the last one fewer) among as many non-matching lines."""
    per_file = 1000
    files_per_folder = 50
    lines = pool.lines[0]
    left = nrows
    k = 0
    while left > 0:
        n = min(per_file, left)
        body = []
        for j in range(n):
            body.append(lines[rnd.randrange(len(lines))])
            ln = lines[rnd.randrange(len(lines))]
            body.append("%s /* %s %d */" % (ln, ROWS_WORD, j))
        rel = "rows%03d/%s_%05d.c" % (k // files_per_folder, name(rnd), k)
        w.write(rel, ("\n".join(body) + "\n").encode("ascii"))
        left -= n
        k += 1
    return k


def main():
    ap = argparse.ArgumentParser(description="Write a deterministic synthetic corpus for the benchmarks.")
    ap.add_argument("out", help="folder to write into (created; must be empty or missing)")
    ap.add_argument("--big", action="store_true", help="also write one 1 GiB file of source-like lines")
    ap.add_argument("--big-bytes", type=int, default=1 << 30, help="size of the --big file (default 1 GiB)")
    ap.add_argument("--no-tree", action="store_true", help="do not write the source tree")
    ap.add_argument("--rows", type=int, metavar="N",
                    help="write only a tree where the string %s matches exactly N lines" % ROWS_WORD)
    ap.add_argument("--expected", metavar="FILE", help="also write the expected match counts to FILE")
    args = ap.parse_args()

    out = args.out
    if os.path.exists(out) and os.listdir(out):
        sys.exit("gen_corpus.py: %s is not empty" % out)
    os.makedirs(out, exist_ok=True)

    rnd = random.Random(SEED)
    pool = Pool(rnd, 40000)
    w = Writer(out)
    report = []
    if args.rows is not None:
        nfiles = gen_rows(out, random.Random(SEED + 1), pool, w, args.rows)
        report.append("rows\t%s\t%d" % (ROWS_WORD, args.rows))
        report.append("#files\t%d" % nfiles)
    else:
        if not args.no_tree:
            counts, nfolders = gen_tree(out, random.Random(SEED + 2), pool, w)
            for (label, _, _, _), c in zip(SEARCHES, counts):
                report.append("tree\t%s\t%d" % (label, c))
            report.append("#tree folders\t%d" % nfolders)
        if args.big:
            counts = gen_big(out, random.Random(SEED + 3), pool, w, args.big_bytes)
            for (label, _, _, _), c in zip(SEARCHES, counts):
                report.append("big\t%s\t%d" % (label, c))
    report.append("#files written\t%d" % w.files)
    report.append("#bytes written\t%d" % w.bytes)
    text = "\n".join(report) + "\n"
    sys.stdout.write(text)
    if args.expected:
        with open(args.expected, "w") as f:
            f.write(text)


if __name__ == "__main__":
    main()
