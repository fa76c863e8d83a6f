#!/usr/bin/env python3
"""Builds a reproducible folder tree for the scan benchmarks.

The same --seed and scale always give the same tree: folder names, nesting,
which folders hold files, file names and sizes. By default about 100,000
folders and 1,000,000 files, nested up to 12 levels below the root, with many
empty files and empty folders, a few names with blanks and umlauts, and some
large sparse files (made with truncate, so they take no disk space).

    gen_tree.py ROOT [--folders N] [--files N] [--depth N] [--seed N]

ROOT must not exist yet (or be empty). A small run: --folders 1000 --files 10000.
"""

import argparse
import os
import random
import sys

NAME_PARTS = ["daten", "bilder", "alt", "neu", "Projekt", "Übersicht", "src", "lib",
              "Archiv 2023", "tmp", "cache", "Größe", "docs", "build", "x"]
EXTENSIONS = [".txt", ".log", ".jpg", ".o", ".json", ".dat", "", ".tar.gz"]


def folder_name(rng, index):
    return "%s_%d" % (rng.choice(NAME_PARTS), index)


def file_size(rng):
    roll = rng.random()
    if roll < 0.40:
        return 0                                    # empty files
    if roll < 0.95:
        return rng.randint(1, 16 * 1024)            # small files
    if roll < 0.999:
        return rng.randint(16 * 1024, 8 << 20)      # medium
    return rng.randint(1 << 30, 8 << 30)            # large, sparse


def plan_folders(rng, count, max_depth):
    """Returns (parent index, depth, name) per folder; index 0 is the root."""
    folders = [(-1, 0, "")]
    open_parents = [0]  # folders that may still get subfolders
    for index in range(1, count):
        # Prefer recent folders so that the tree gets deep, not only wide.
        if rng.random() < 0.7:
            parent = open_parents[-1 - int(rng.random() * min(len(open_parents), 50))]
        else:
            parent = rng.choice(open_parents)
        depth = folders[parent][1] + 1
        folders.append((parent, depth, folder_name(rng, index)))
        if depth < max_depth:
            open_parents.append(index)
    return folders


def plan_files(rng, folder_count, file_count):
    """Returns a list of (folder index, size) pairs; about a third of the
    folders get no files at all."""
    holders = [i for i in range(folder_count) if rng.random() < 0.65] or [0]
    return [(rng.choice(holders), file_size(rng)) for _ in range(file_count)]


def create(root, folders, files):
    paths = [root]
    for parent, _, name in folders[1:]:
        path = os.path.join(paths[parent], name)
        os.mkdir(path)
        paths.append(path)
    by_folder = {}
    for folder, size in files:
        by_folder.setdefault(folder, []).append(size)
    made = 0
    for folder, sizes in by_folder.items():
        dir_fd = os.open(paths[folder], os.O_RDONLY | os.O_DIRECTORY)
        try:
            for number, size in enumerate(sizes):
                name = "f%d%s" % (number, EXTENSIONS[number % len(EXTENSIONS)])
                fd = os.open(name, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644, dir_fd=dir_fd)
                if size:
                    os.ftruncate(fd, size)
                os.close(fd)
        finally:
            os.close(dir_fd)
        made += len(sizes)
        if made % 100000 < len(sizes):
            print("  %d files" % made, file=sys.stderr, flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root")
    parser.add_argument("--folders", type=int, default=100000, help="folders including the root")
    parser.add_argument("--files", type=int, default=1000000)
    parser.add_argument("--depth", type=int, default=12, help="deepest level below the root")
    parser.add_argument("--seed", type=int, default=20240601)
    args = parser.parse_args()

    os.makedirs(args.root, exist_ok=True)
    if os.listdir(args.root):
        sys.exit("%s is not empty" % args.root)
    rng = random.Random(args.seed)
    folders = plan_folders(rng, max(args.folders, 1), max(args.depth, 1))
    files = plan_files(rng, len(folders), args.files)
    create(os.path.abspath(args.root), folders, files)
    total = sum(size for _, size in files)
    deepest = max(depth for _, depth, _ in folders)
    print("%d folders, %d files, %d bytes, deepest level %d"
          % (len(folders), len(files), total, deepest))


if __name__ == "__main__":
    main()
