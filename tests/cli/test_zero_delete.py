#!/usr/bin/env python3
"""`velmaro zero --delete` while other processes write: writer threads keep
creating files in the zero-byte folders (each file made empty, held open a
moment, then given one byte) before and during the pass. No file whose write
succeeded may be lost; every folder reported removed is gone; every folder
left holds a written file somewhere below it; nothing else is touched.

    python3 test_zero_delete.py PATH-TO-VELMARO
"""

import os
import random
import shutil
import threading
import time

from cli_support import run, temp_folder

WRITERS = 6


def make_tree(root):
    """Nested zero-byte folders (some with empty files) and a kept file."""
    folders = []
    for top in range(30):
        for mid in range(6):
            for leaf in range(4):
                path = os.path.join(root, "z%d" % top, "m%d" % mid, "l%d" % leaf)
                os.makedirs(path)
                folders.append(path)
                if leaf == 0:
                    open(os.path.join(path, "leer"), "wb").close()
        folders.append(os.path.join(root, "z%d" % top))
    with open(os.path.join(root, "inhalt.txt"), "wb") as f:
        f.write(b"bleibt")
    return folders


class Writers:
    """Threads that write 1-byte files into random folders until stopped."""

    def __init__(self, folders):
        self.folders = folders
        self.written = []   # (path, time the write succeeded)
        self.lock = threading.Lock()
        self.stop = threading.Event()
        self.threads = [threading.Thread(target=self.loop, args=(i,)) for i in range(WRITERS)]

    def loop(self, index):
        rng = random.Random(index)
        count = 0
        while not self.stop.is_set():
            path = os.path.join(rng.choice(self.folders), "w%d_%d" % (index, count))
            count += 1
            try:
                fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
            except FileNotFoundError:
                continue  # the folder is gone already
            try:
                time.sleep(rng.random() * 0.002)  # empty and open: must not be removed
                os.write(fd, b"x")
            finally:
                os.close(fd)
            with self.lock:
                self.written.append((path, time.monotonic()))
            time.sleep(0.001)

    def __enter__(self):
        for thread in self.threads:
            thread.start()
        return self

    def __exit__(self, *exc):
        self.stop.set()
        for thread in self.threads:
            thread.join()


def main():
    tmp, home = temp_folder()
    root = os.path.join(tmp, "aufraeumen")
    try:
        folders = make_tree(root)
        with Writers(folders) as writers:
            time.sleep(0.05)
            begin = time.monotonic()
            result = run(["zero", "--delete", root], home)
            end = time.monotonic()
        assert result.code in (0, 1), (result.code, result.err)
        lost = [p for p, _ in writers.written if not os.path.isfile(p) or os.path.getsize(p) != 1]
        assert not lost, "files lost: %s" % lost[:5]
        during = sum(1 for _, t in writers.written if begin <= t <= end)
        assert during > 0, "no file was written while the pass ran"

        removed = [line.decode() for line in result.out.split(b"\n")[:-1]]
        assert removed, "nothing removed"
        assert not [p for p in removed if os.path.exists(p)], "reported removed but still there"
        written = [p for p, _ in writers.written]
        for dirpath, _, _ in os.walk(root):
            if dirpath != root:
                assert any(p.startswith(dirpath + "/") for p in written), "empty folder left: " + dirpath
        kept = result.err.count("nicht gelöscht")
        assert (result.code == 1) == (kept > 0), (result.code, result.err)
        with open(os.path.join(root, "inhalt.txt"), "rb") as f:
            assert f.read() == b"bleibt"
        print("ok: %d removed, %d kept, %d files written (%d during the pass)"
              % (len(removed), kept, len(written), during))
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
