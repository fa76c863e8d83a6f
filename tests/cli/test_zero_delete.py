#!/usr/bin/env python3
"""`velmaro zero --delete`: every zero-byte folder below the root goes and is
printed, one line each; a folder whose empty file another process holds open
stays, is named on stderr as "nicht gelöscht", and the exit code is 1; files
with content are never touched. (Writers racing the pass: the engine's
stress test.) A folder is printed as removed only when the pass removed it:
with the root moved away during the pass, the rest is reported as gone, not
removed. "/", "." and ".." are refused up front (also for a user who could
not delete them anyway); a symlink given as the folder is resolved once and
said so.

    python3 test_zero_delete.py PATH-TO-VELMARO
"""

import os
import shutil
import subprocess
import time

from cli_support import headless_env, run, temp_folder, velmaro_path

NOBODY = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]


def check_pass(tmp, home):
    root = os.path.join(tmp, "aufraeumen")
    for folder in ("leer", "tief/a/b", "nullen", "offen", "voll"):
        os.makedirs(os.path.join(root, folder))
    for name, data in (("nullen/e.txt", b""), ("offen/busy.txt", b""), ("voll/x", b"1"),
                       ("inhalt.txt", b"bleibt")):
        with open(os.path.join(root, name), "wb") as f:
            f.write(data)
    with open(os.path.join(root, "offen", "busy.txt"), "rb"):  # no write lease while open
        result = run(["zero", "--delete", root], home)
    assert result.code == 1, (result.code, result.err)
    removed = sorted(line.decode() for line in result.out.split(b"\n")[:-1])
    expected = sorted(os.path.join(root, f) + "/" for f in ("leer", "tief", "tief/a", "tief/a/b", "nullen"))
    assert removed == expected, removed
    assert not [p for p in removed if os.path.exists(p)], "reported removed but still there"
    assert result.err.count("nicht gelöscht") == 1 and "/offen/" in result.err, result.err
    assert os.path.exists(os.path.join(root, "offen", "busy.txt"))
    for name, data in (("voll/x", b"1"), ("inhalt.txt", b"bleibt")):
        with open(os.path.join(root, name), "rb") as f:
            assert f.read() == data, name


def check_moved_root(tmp, home, folders=20000):
    """The root is moved away once the pass has removed its first folder."""
    root, moved = os.path.join(tmp, "wandert"), os.path.join(tmp, "verschoben")
    os.mkdir(root)
    with open(os.path.join(root, "inhalt.txt"), "wb") as f:
        f.write(b"x")  # the root itself is no zero-byte folder
    names = ["n%05d" % i for i in range(folders)]
    for name in names:
        os.mkdir(os.path.join(root, name))
    first = os.path.join(root, names[0])
    proc = subprocess.Popen([velmaro_path(), "zero", "--delete", root], env=headless_env(home),
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 60
    while os.path.exists(first) and time.monotonic() < deadline:
        pass
    os.rename(root, moved)
    out, err = proc.communicate(timeout=300)
    err = err.decode()
    removed = [line.decode() for line in out.split(b"\n")[:-1]]
    still = [p for p in removed if os.path.isdir(os.path.join(moved, os.path.basename(p[:-1])))]
    assert not still, "%d reported removed but still there" % len(still)
    left = [n for n in names if os.path.isdir(os.path.join(moved, n))]
    assert left, "the pass ended before the root was moved"
    assert proc.returncode == 1, (proc.returncode, err[-300:])
    assert len(removed) + len(left) == folders, (len(removed), len(left))
    assert err.count("verschwunden oder verschoben") == len(left), err[-300:]


def check_refusals(tmp, home):
    empty = os.path.join(tmp, "leer-hier")
    os.mkdir(empty)
    for given in (".", "..", "./", empty + "/."):
        refused = run(["zero", "--delete", given], home, cwd=empty)
        assert refused.code == 2 and "\".\" und \"..\" werden nicht bereinigt" in refused.err, refused.err
    assert os.path.isdir(empty)
    os.symlink("/", os.path.join(tmp, "wurzel"))
    prefix = NOBODY if os.geteuid() == 0 else []
    for given in ("/", os.path.join(tmp, "wurzel")):
        refused = run(["zero", "--delete", given], home, prefix=prefix)
        assert refused.code == 2, (given, refused.code, refused.err)
        assert "Das Stammverzeichnis \"/\" wird nicht gelöscht." in refused.err, refused.err
        assert refused.out == b"", refused.out[:200]


def check_symlink(tmp, home):
    """An unchanged empty tree given through a symlink goes, and the program
    says which folder it worked on."""
    target = os.path.join(tmp, "ziel")
    os.makedirs(os.path.join(target, "a", "b"))
    link = os.path.join(tmp, "verweis")
    os.symlink(target, link)
    result = run(["zero", "--delete", link], home)
    assert result.code == 0, (result.code, result.err)
    assert result.err == 'velmaro: "%s": führt über eine symbolische Verknüpfung; durchsucht wird "%s/"\n' % (
        link, target), result.err
    assert not os.path.exists(target) and os.path.islink(link)


def main():
    tmp, home = temp_folder()
    try:
        check_pass(tmp, home)
        check_refusals(tmp, home)
        check_symlink(tmp, home)
        check_moved_root(tmp, home)
        print("ok")
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
