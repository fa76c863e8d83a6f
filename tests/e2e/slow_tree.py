"""A folder tree that reads slowly, for journeys that must act while a scan
runs (the stop button). A small read-only FUSE file system: every folder
down to `depth` holds `fanout` subfolders d0, d1, ... and one file
data.bin of FILE_SIZE bytes; each folder listing waits `delay` seconds and
requests are served one at a time, so a full scan of the tree takes about
folders × delay. With `hang` > 0 the root also holds the folder HANG_NAME,
whose opening takes `hang` seconds: while it hangs, every request waits,
as on a hung network mount.

Run as a program it serves the tree (python3 slow_tree.py MOUNT FANOUT
DEPTH DELAY [HANG [SIZE]]; SIZE replaces FILE_SIZE, 0 makes every folder a
zero-byte one); SlowTree mounts it for a journey.
"""

import errno
import os
import stat
import subprocess
import sys
import time

FILE_NAME = "data.bin"
HANG_NAME = "haengt"
FILE_SIZE = 100
# A fixed time stamp keeps every row's dates the same: 2026-05-04 10:20:30 UTC.
STAMP = 1777890030


class SlowTree:
    """The tree's shape and its mount for one journey."""

    def __init__(self, session, mountpoint, fanout=6, depth=4, delay=0.01, hang=0):
        self.session = session
        self.mountpoint = mountpoint
        self.fanout = fanout
        self.depth = depth
        self.delay = delay
        self.hang = hang

    def mount(self, skip):
        """Mounts the tree; calls skip(reason) when the machine cannot."""
        if not os.path.exists("/dev/fuse"):
            skip("no /dev/fuse on this machine")
        try:
            import fusepy  # noqa: F401
        except ImportError:
            skip("python3-fusepy is not installed")
        if os.geteuid() != 0 and not _which("fusermount"):
            skip("mounting FUSE needs root or fusermount")
        os.makedirs(self.mountpoint, exist_ok=True)
        stack = self.session.stack
        process = stack.spawn("slowfs", [
            sys.executable, os.path.abspath(__file__), self.mountpoint,
            str(self.fanout), str(self.depth), str(self.delay), str(self.hang)])
        self.session.cleanups.append(self.unmount)
        deadline = time.monotonic() + 10
        while not os.path.ismount(self.mountpoint):
            if process.poll() is not None or time.monotonic() > deadline:
                with open(stack.log_path("slowfs"), errors="replace") as log:
                    skip("the FUSE tree could not be mounted: %s"
                         % log.read()[-500:].strip())
            time.sleep(0.05)

    def unmount(self):
        if os.path.ismount(self.mountpoint):
            subprocess.run(["umount", "-l", self.mountpoint],
                           capture_output=True, timeout=10)


def _which(name):
    for folder in os.environ.get("PATH", "").split(":"):
        if os.access(os.path.join(folder, name), os.X_OK):
            return True
    return False


def serve(mountpoint, fanout, depth, delay, hang, size=FILE_SIZE):
    from fusepy import FUSE, FuseOSError, Operations

    def parts_of(path):
        return [p for p in path.split("/") if p]

    def is_folder(parts):
        if hang > 0 and parts == [HANG_NAME]:
            return True
        if len(parts) > depth:
            return False
        names = ["d%d" % i for i in range(fanout)]
        return all(p in names for p in parts)

    class Tree(Operations):
        def getattr(self, path, fh=None):
            parts = parts_of(path)
            times = dict(st_atime=STAMP, st_mtime=STAMP, st_ctime=STAMP)
            if is_folder(parts):
                return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, **times)
            if parts and parts[-1] == FILE_NAME and is_folder(parts[:-1]):
                return dict(st_mode=stat.S_IFREG | 0o644, st_nlink=1,
                            st_size=size, **times)
            raise FuseOSError(errno.ENOENT)

        def opendir(self, path):
            if hang > 0 and parts_of(path) == [HANG_NAME]:
                time.sleep(hang)
            return 0

        def readdir(self, path, fh):
            parts = parts_of(path)
            if not is_folder(parts):
                raise FuseOSError(errno.ENOTDIR)
            time.sleep(delay)
            names = [".", "..", FILE_NAME]
            if len(parts) < depth and parts != [HANG_NAME]:
                names += ["d%d" % i for i in range(fanout)]
            if hang > 0 and not parts:
                names.append(HANG_NAME)
            return names

        def read(self, path, length, offset, fh):
            return b"x" * max(0, min(length, size - offset))

    FUSE(Tree(), mountpoint, foreground=True, nothreads=True, ro=True,
         attr_timeout=60, entry_timeout=60)


if __name__ == "__main__":
    serve(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4]),
          float(sys.argv[5]) if len(sys.argv) > 5 else 0,
          int(sys.argv[6]) if len(sys.argv) > 6 else FILE_SIZE)
