#!/usr/bin/env python3
"""`velmaro zero --delete`: every zero-byte folder below the root goes and is
printed, one line each; a folder whose empty file another process holds open
stays, is named on stderr as "nicht gelöscht", and the exit code is 1; files
with content are never touched. (Writers racing the pass: the engine's
stress test.)

    python3 test_zero_delete.py PATH-TO-VELMARO
"""

import os
import shutil

from cli_support import run, temp_folder


def main():
    tmp, home = temp_folder()
    root = os.path.join(tmp, "aufraeumen")
    try:
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
        print("ok")
    finally:
        shutil.rmtree(tmp)


if __name__ == "__main__":
    main()
