#!/usr/bin/env python3
"""`velmaro list` without a display: every folder's byte total equals an
independent walk, in the --bytes and the --json form, for a tree with hard
links, sparse files, a symlink, a pipe and names with tab, newline,
a literal backslash before "t" or "x41", bytes that are not UTF-8 and a
leading "-";
raw names round-trip through both forms. Also the window form's texts, the
order options, and the exit codes with their German messages.

    python3 test_list.py PATH-TO-VELMARO
"""

import os
import shutil
import subprocess

from cli_support import (independent_totals, parse_bytes_listing, parse_json_listing, run,
                         temp_folder)


def make_odd(root):
    """Returns the folder that holds 1536 bytes (for the window form)."""
    names = [b"tab\there", b"new\nline", b"bad\xff\xfename", b"-dash", b"back\\tslash", b"x\\x41",
             "Übersicht".encode(), b"cr\rctl\x01"]
    root_b = os.fsencode(root)
    for name in names:
        os.mkdir(root_b + b"/" + name)
    os.mkdir(root_b + b"/new\nline/bad\xff")
    with open(root_b + b"/tab\there/data", "wb") as f:
        f.write(b"y" * 1000)
    os.link(root_b + b"/tab\there/data", root_b + b"/tab\there/link2")        # counted twice
    os.link(root_b + b"/tab\there/data", root_b + b"/new\nline/bad\xff/link3")  # and in another folder
    with open(root_b + b"/bad\xff\xfename/sparse", "wb") as f:
        f.truncate(5 << 30)
    os.symlink("/etc", root_b + b"/-dash/link")       # its own size, never followed
    os.mkdir(root_b + b"/back\\tslash/sub")
    os.mkfifo(root_b + b"/back\\tslash/sub/pipe")      # 0 bytes, but no zero-byte folder above it
    open(root_b + b"/cr\rctl\x01/empty", "wb").close()  # a zero-byte folder
    with open(root_b + "/Übersicht/kb".encode(), "wb") as f:
        f.write(b"z" * 1536)
    return os.path.join(root, "Übersicht")


def check_totals(home, args, root_abs, cwd=None):
    expected = independent_totals(os.fsencode(root_abs) + b"/")
    expected_sizes = {p: t for p, (t, _) in expected.items()}
    expected_zero = {p for p, (_, z) in expected.items() if z}

    listing = run(["list", "--bytes"] + args, home, cwd=cwd)
    assert listing.code == 0, (listing.code, listing.err)
    rows = parse_bytes_listing(listing.out)
    assert {p: r[0] for p, r in rows.items()} == expected_sizes, "--bytes totals differ"
    assert {p for p, r in rows.items() if r[1]} == expected_zero, "--bytes zero-byte flags differ"

    as_json = run(["list", "--json"] + args, home, cwd=cwd)
    assert as_json.code == 0, as_json.err
    doc, json_rows = parse_json_listing(as_json.out)
    assert {p: r[0] for p, r in json_rows.items()} == expected_sizes, "--json totals differ"
    assert {p for p, r in json_rows.items() if r[1]} == expected_zero, "--json zero-byte flags differ"
    assert doc["folders_found"] == len(expected) and not doc["cut_short"]
    return rows


def check_window_form(home, kb_folder):
    listing = run(["list", kb_folder], home)
    assert listing.code == 0, listing.err
    fields = listing.out.rstrip(b"\n").split(b"\t")
    assert fields[:3] == [b"\xc3\x9cbersicht", os.fsencode(kb_folder) + b"/", b"1,5"], fields
    assert fields[5:] == [b"nein", b""], fields


def check_order(home, root, rows):
    top = run(["list", "--bytes", "--sort", "size", "--reverse", "--top", "3", root], home)
    got = [line.split(b"\t")[2] for line in top.out.split(b"\n")[:-1]]
    want = sorted((r[0] for r in rows.values()), reverse=True)[:3]
    assert [int(g) for g in got] == want, (got, want)
    zero = run(["zero", root], home)
    assert zero.code == 0
    assert zero.out.count(b"\n") == sum(1 for r in rows.values() if r[1])
    # Path order without the rows' parents: each path is still whole.
    zero_only = run(["list", "--bytes", "--zero-only", root], home)
    assert zero_only.code == 0, zero_only.err
    assert set(parse_bytes_listing(zero_only.out)) == {p for p, r in rows.items() if r[1]}, zero_only.out


def check_usage(home, tmp):
    version = run(["--version"], home)
    assert (version.code, version.out) == (0, b"velmaro 1.01.00\n"), version.out
    for command in (["--version"], ["--help"], ["list", tmp]):  # output into a full disk
        full = run(command, home, stdout="/dev/full")
        assert full.code == 1, (command, full.code)
        assert full.err.endswith("Ausgabe nicht vollständig geschrieben: Datenträger voll\n"), full.err
        assert "errno" not in full.err, full.err
    missing = run(["list", os.path.join(tmp, "fehlt")], home)
    assert missing.code == 2 and "fehlt\": Pfad nicht gefunden" in missing.err, missing.err
    a_file = os.path.join(tmp, "home", "eine-datei")
    open(a_file, "w").close()
    for command in ("list", "zero"):
        not_folder = run([command, a_file], home)
        assert not_folder.code == 2 and not_folder.err.endswith("eine-datei\": kein Ordner\n"), not_folder.err
    bad = run(["list", "--sort", "farbe", tmp], home)
    assert bad.code == 2 and "--sort erwartet" in bad.err, bad.err


def check_unreadable(home, tmp):
    """A folder the user may not read: listed with the German reason, exit 1."""
    root = os.path.join(tmp, "gesperrt")
    os.makedirs(os.path.join(root, "zu", "innen"))
    os.chmod(os.path.join(root, "zu"), 0o000)
    prefix = []
    if os.geteuid() == 0:  # root reads anything: run as nobody
        prefix = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
    listing = run(["list", "--bytes", root], home, prefix=prefix)
    os.chmod(os.path.join(root, "zu"), 0o755)
    assert listing.code == 1, (listing.code, listing.err)
    assert listing.err == "velmaro: \"%s/zu/\": Zugriff verweigert\n" % root, listing.err
    rows = parse_bytes_listing(listing.out)
    assert rows[os.fsencode(root) + b"/"][2][6] == "Zugriff verweigert".encode(), rows


def check_large_output(home, tmp):
    """Output of megabytes goes past the stream's buffer in blocks: every row
    once, in path order, through a pipe; a full disk is still reported."""
    root = os.path.join(tmp, "viele")
    names = ["%04d-%s" % (i, "n" * 200) for i in range(6000)]
    for name in names:  # sixty folders of a hundred each
        os.makedirs(os.path.join(root, name[:2], name))
    listing = run(["list", "--bytes", root], home)
    assert listing.code == 0, listing.err
    assert len(listing.out) > 2 << 20, len(listing.out)
    paths = [line.split(b"\t")[1] for line in listing.out.split(b"\n")[:-1]]
    assert paths == sorted(paths) and len(paths) == len(set(paths)) == 6000 + 60 + 1, len(paths)
    full = run(["list", "--bytes", root], home, stdout="/dev/full")
    assert full.code == 1 and full.err.endswith("Datenträger voll\n"), (full.code, full.err)


def main():
    tmp, home = temp_folder()
    try:
        odd = os.path.join(tmp, "-odd")
        os.mkdir(odd)
        kb_folder = make_odd(odd)
        rows = check_totals(home, ["--", "-odd"], odd, cwd=tmp)
        check_order(home, odd, rows)
        check_window_form(home, kb_folder)
        check_usage(home, tmp)
        check_unreadable(home, tmp)
        check_large_output(home, tmp)
    finally:
        subprocess.run(["chmod", "-R", "u+rwx", tmp])
        shutil.rmtree(tmp)
    print("ok")


if __name__ == "__main__":
    main()
