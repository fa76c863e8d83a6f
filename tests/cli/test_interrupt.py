#!/usr/bin/env python3
"""Ctrl-C stops `velmaro list` at once and prints what was found, marked as
cut short: on a slow FUSE tree (each folder listing takes 10 ms, a full
scan about 15 s) SIGINT lands while the walk runs; the program ends within
a second or two with exit code 1, the rows it found, the root row's size
marked incomplete, finished folders with their exact totals (folders queued but not yet
opened are marked incomplete), and on stderr
(a pipe, so no progress line) only the note that the scan was stopped.
`zero --delete` stopped the same way while it still scans deletes nothing:
on a tree of zero-byte folders it lists what it found and says "nichts
gelöscht.". Skips (exit 77) where FUSE cannot be mounted.

    python3 test_interrupt.py PATH-TO-VELMARO
"""

import os
import shutil
import signal
import subprocess
import sys
import time

from cli_support import SKIP, headless_env, parse_bytes_listing, temp_folder, velmaro_path

HERE = os.path.dirname(os.path.abspath(__file__))
SLOW_TREE = os.path.join(HERE, "..", "e2e", "slow_tree.py")
FANOUT, DEPTH, DELAY = 6, 4, 0.01
INCOMPLETE = "Größe unvollständig (Suche abgebrochen)".encode()


def skip(reason):
    if os.environ.get("VELMARO_REQUIRE_PRIVILEGED", "0") not in ("", "0"):
        print("FAIL: required but not possible here:", reason)
        sys.exit(1)
    print("SKIP:", reason)
    sys.exit(SKIP)


def mount(mountpoint, log, size=100):
    if not os.path.exists("/dev/fuse"):
        skip("no /dev/fuse on this machine")
    if subprocess.run([sys.executable, "-c", "import fusepy"], capture_output=True).returncode:
        skip("python3-fusepy is not installed")
    os.mkdir(mountpoint)
    server = subprocess.Popen([sys.executable, SLOW_TREE, mountpoint, str(FANOUT), str(DEPTH), str(DELAY),
                               "0", str(size)], stdout=log, stderr=log)
    deadline = time.monotonic() + 10
    while not os.path.ismount(mountpoint):
        if server.poll() is not None or time.monotonic() > deadline:
            server.kill()
            skip("the FUSE tree could not be mounted")
        time.sleep(0.05)
    return server


def interrupted(args, home):
    """Runs velmaro with `args`, sends SIGINT after a second of scanning:
    (stdout, stderr text, seconds from the signal to the end)."""
    scan = subprocess.Popen([velmaro_path()] + args, env=headless_env(home),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    time.sleep(1.0)
    assert scan.poll() is None, "the scan ended before the stop"
    stopped = time.monotonic()
    scan.send_signal(signal.SIGINT)
    out, err = scan.communicate(timeout=30)
    took = time.monotonic() - stopped
    assert took < 3, "the stop took %.1f s" % took
    assert scan.returncode == 1, (scan.returncode, err)
    return out, err.decode(), took


def check_zero_delete(tmp, home):
    mountpoint = os.path.join(tmp, "leer")
    server = None
    try:
        with open(os.path.join(tmp, "fuse-zero.log"), "wb") as log:
            server = mount(mountpoint, log, size=0)
        out, err, _ = interrupted(["zero", "--delete", mountpoint], home)
        assert err == ("velmaro: Suche abgebrochen: die Liste ist unvollständig.\n"
                       "velmaro: nichts gelöscht.\n"), err
        assert out.startswith(os.fsencode(mountpoint) + b"/d"), out[:200]
    finally:
        if server:
            subprocess.run(["umount", "-l", mountpoint], capture_output=True)
            server.wait(timeout=10)


def main():
    tmp, home = temp_folder()
    mountpoint = os.path.join(tmp, "langsam")
    server = None
    try:
        with open(os.path.join(tmp, "fuse.log"), "wb") as log:
            server = mount(mountpoint, log)
        out, err, took = interrupted(["list", "--bytes", mountpoint], home)
        assert err == "velmaro: Suche abgebrochen: die Liste ist unvollständig.\n", err

        rows = parse_bytes_listing(out)
        total = sum(FANOUT ** level for level in range(DEPTH + 1))
        assert 1 < len(rows) < total, len(rows)
        root = rows[os.fsencode(mountpoint) + b"/"]
        assert root[0] is None and root[2][6] == INCOMPLETE, root
        prefix = len(os.fsencode(mountpoint))
        leaves = [r for p, r in rows.items() if p[prefix:].count(b"/d") == DEPTH]
        complete = [r for r in leaves if r[2][6] == b""]
        assert complete and all(r[0] == 100 for r in complete), leaves[:3]
        assert all(r[0] is None and r[2][6] == INCOMPLETE for r in leaves if r not in complete)
        print("ok: stopped after %.2f s with %d of %d folders" % (took, len(rows), total))
        check_zero_delete(tmp, home)
    finally:
        if server:
            subprocess.run(["umount", "-l", mountpoint], capture_output=True)
            server.wait(timeout=10)
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
