#!/usr/bin/env python3
"""Times wzzip against Info-ZIP zip on one generated tree, in one run.

Fresh archive and unchanged -u rerun for the native build and for Info-ZIP
(zip -r -6, zip -r -u), peak memory on a 6 GiB sparse file, and optionally
the Windows exe under Wine beside them. Run by hand on an optimised build
without sanitizers; see docs/PERFORMANCE.md.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

MIB = 1024 * 1024


def make_tree(root, files, total_bytes, seed=20060301):
    """A third of the files incompressible, the rest text-like, in nested folders."""
    if os.path.isdir(root):
        shutil.rmtree(root)
    rng = random.Random(seed)
    words = ["".join(rng.choice("etaoinshrdlucmfwypvbgkqjxz") for _ in range(rng.randint(2, 10))) for _ in range(4000)]
    pool = " ".join(rng.choice(words) for _ in range(1_200_000)).encode()
    weights = [rng.lognormvariate(0, 1.2) for _ in range(files)]
    scale = total_bytes / sum(weights)
    for i, w in enumerate(weights):
        folder = os.path.join(root, "d%02d" % (i % 40), "s%02d" % (i % 13))
        os.makedirs(folder, exist_ok=True)
        size = max(1, int(w * scale))
        if i % 3 == 0:
            data = os.urandom(size)
        else:
            data = b""
            while len(data) < size:
                start = rng.randrange(0, len(pool) - 65536)
                data += pool[start:start + min(65536, size - len(data))]
        with open(os.path.join(folder, "f%05d.%s" % (i, "bin" if i % 3 == 0 else "txt")), "wb") as f:
            f.write(data)


def tree_size(root):
    count = total = 0
    for folder, _, names in os.walk(root):
        for n in names:
            count += 1
            total += os.path.getsize(os.path.join(folder, n))
    return count, total


def timed(argv, cwd=None):
    """Wall seconds and peak RSS (MiB) of one child, measured by GNU time
    (a fork of this interpreter would report its own size)."""
    report = os.path.join("/tmp", "wzzip-bench-time-%d" % os.getpid())
    start = time.monotonic()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report] + argv, cwd=cwd,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    seconds = time.monotonic() - start
    with open(report) as f:
        peak_kib = int(f.read().strip().splitlines()[-1])
    os.remove(report)
    return seconds, peak_kib / 1024, proc.returncode


def expect(code, allowed, what):
    if code not in allowed:
        sys.exit("%s exited with %d" % (what, code))


def warm(root):
    for folder, _, names in os.walk(root):
        for n in names:
            with open(os.path.join(folder, n), "rb") as f:
                while f.read(MIB):
                    pass


def print_rows(rows):
    print("  %-38s %9s %10s %12s" % ("run", "seconds", "peak MiB", "archive MiB"))
    for name, t, m, size in rows:
        print("  %-38s %9.2f %10s %12.1f" % (name, t, "-" if m is None else "%.1f" % m, size / MIB))


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--native", required=True, help="optimised native wzzip")
    ap.add_argument("--exe", help="wzzip.exe to time under Wine as well")
    ap.add_argument("--work", default="/tmp/wzzip-bench")
    ap.add_argument("--files", type=int, default=20000)
    ap.add_argument("--mib", type=int, default=400)
    ap.add_argument("--rounds", type=int, default=3)
    args = ap.parse_args()

    tree = os.path.join(args.work, "tree")
    os.makedirs(args.work, exist_ok=True)
    if not os.path.isdir(tree) or tree_size(tree)[0] != args.files:
        make_tree(tree, args.files, args.mib * MIB)
    count, total = tree_size(tree)
    print("tree: %d files, %.0f MiB" % (count, total / MIB))
    warm(tree)

    info_zip = os.path.join(args.work, "infozip.zip")
    ours = os.path.join(args.work, "wzzip.zip")
    fresh_ratios, rerun_ratios = [], []
    for round_no in range(1, args.rounds + 1):
        # Alternating runs in each round, so drift in the machine's load
        # falls on both sides of a ratio alike.
        for path in (info_zip, ours):
            if os.path.exists(path):
                os.remove(path)
        rows = []
        t, m, c = timed(["zip", "-q", "-r", "-6", info_zip, "."], cwd=tree)
        expect(c, {0}, "zip")
        rows.append(("Info-ZIP zip -r -6 (fresh)", t, m, os.path.getsize(info_zip)))
        t, m, c = timed([args.native, "-p", "-r", ours, tree + "/"])
        expect(c, {0}, "wzzip")
        rows.append(("wzzip native -p -r (fresh)", t, m, os.path.getsize(ours)))
        t, m, c = timed(["zip", "-q", "-r", "-u", info_zip, "."], cwd=tree)
        expect(c, {0, 12}, "zip -u")
        rows.append(("Info-ZIP zip -r -u (unchanged)", t, m, os.path.getsize(info_zip)))
        t, m, c = timed([args.native, "-u", "-p", "-r", ours, tree + "/"])
        expect(c, {12}, "wzzip -u")
        rows.append(("wzzip native -u -p -r (unchanged)", t, m, os.path.getsize(ours)))
        fresh_ratios.append(rows[1][1] / rows[0][1])
        rerun_ratios.append(rows[3][1] / rows[2][1])
        print("round %d:" % round_no)
        print_rows(rows)

    rows = []
    if args.exe:
        exe_zip = os.path.join(args.work, "wine.zip")
        if os.path.exists(exe_zip):
            os.remove(exe_zip)
        wine = ["wine", args.exe]
        t, m, c = timed(wine + ["-p", "-r", wine_path(exe_zip), wine_path(tree) + "\\"])
        expect(c, {0}, "wzzip.exe")
        rows.append(("wzzip.exe under Wine (fresh)", t, None, os.path.getsize(exe_zip)))
        t, m, c = timed(wine + ["-u", "-p", "-r", wine_path(exe_zip), wine_path(tree) + "\\"])
        expect(c, {12}, "wzzip.exe -u")
        rows.append(("wzzip.exe under Wine (unchanged)", t, None, os.path.getsize(exe_zip)))

    sparse = os.path.join(args.work, "sparse-6g.bin")
    with open(sparse, "wb") as f:
        f.truncate(6 << 30)
    sparse_zip = os.path.join(args.work, "sparse.zip")
    if os.path.exists(sparse_zip):
        os.remove(sparse_zip)
    t, m, c = timed([args.native, sparse_zip, sparse])
    expect(c, {0}, "wzzip on the sparse file")
    rows.append(("wzzip native, one 6 GiB sparse file", t, m, os.path.getsize(sparse_zip)))
    os.remove(sparse)
    os.remove(sparse_zip)

    print_rows(rows)
    print("fresh: wzzip / Info-ZIP per round %s, median %.2fx (target <= 0.75x)"
          % (" ".join("%.2f" % r for r in fresh_ratios), statistics.median(fresh_ratios)))
    print("unchanged rerun: wzzip / Info-ZIP per round %s, median %.2fx (target <= 1.5x)"
          % (" ".join("%.2f" % r for r in rerun_ratios), statistics.median(rerun_ratios)))
    print("6 GiB file peak memory: %.1f MiB (target <= 64 MiB)" % rows[-1][2])


if __name__ == "__main__":
    main()
