#!/usr/bin/env python3
# Writes a benchmark tree: FILES files of equal size, MIB MiB in all, spread
# over FOLDERS folders, every other file text-like, the rest random bytes;
# the same tree for the same arguments.
#   make_tree.py ROOT MIB FILES FOLDERS
import os, random, sys

root, mib, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rng = random.Random(mib)
words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(4000)]
per_file = mib * 1024 * 1024 // files
for i in range(files):
    folder = os.path.join(root, f"folder{i % folders:02d}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"file{i:04d}.dat"), "wb") as f:
        if i % 2:
            f.write(rng.randbytes(per_file))
        else:
            text = bytearray()
            while len(text) < per_file:
                text += rng.choice(words) + b" "
            f.write(bytes(text[:per_file]))
