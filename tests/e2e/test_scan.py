"""Journey: "Unterordner suchen" in a fixture folder; the count lines and
every cell of the folder list; the same scan again."""

import os
import re
import time

from velmaro_e2e import (check, check_equal, folder_path, kb_text, make_tree,
                         run_journey)

# Short German date, then the time unless it is exactly midnight.
DATE_TIME = re.compile(r"^\d{2}\.\d{2}\.\d{2}(\d{2})? ?(\d{2}:\d{2}:\d{2})?$")

FIXTURE = {
    "alpha": {"a.bin": 1536, "leer": {}},
    "beta": {"e.txt": 0},
    "gamma": {"six.bin": 6},
    "delta": {"drei.bin": 3},     # shows "0" but holds bytes: not zero-byte
}


def expected_rows(root):
    """path -> (name, size text) for every folder of FIXTURE."""
    base = folder_path(root)
    return {
        base: (os.path.basename(root), kb_text(1536 + 6 + 3)),
        base + "alpha/": ("alpha", "1,5"),
        base + "alpha/leer/": ("leer", "0"),
        base + "beta/": ("beta", "0"),
        base + "gamma/": ("gamma", "0,01"),
        base + "delta/": ("delta", "0"),
    }


def check_fixture_rows(v, root):
    expected = expected_rows(root)
    table = v.wait_counts(len(expected), 2)
    check_equal(table.column_count(), 5, "folder list columns")
    rows = table.rows_by(1)
    check_equal(sorted(rows), sorted(expected), "paths in the folder list")
    for path, (name, size) in expected.items():
        row = rows[path]
        check_equal((row[0], row[2]), (name, size), "name and size of %s" % path)
        for column in (3, 4):
            check(DATE_TIME.match(row[column]),
                  "column %d of %s is not a date: %r" % (column + 1, path, row[column]))
    return rows


def scan_fixture(v):
    root = os.path.join(v.tmp, "Prüfbaum")
    make_tree(root, FIXTURE)
    v.start_app(cwd=root)
    window = v.main_window()
    check_equal(v.count_texts(), ("", ""), "count lines before the scan")
    v.press(description="cmd_Go", root=window)
    first = check_fixture_rows(v, root)
    check_equal(v.label_text("LabelVerzeichnis", root=window), folder_path(root),
                "LabelVerzeichnis after the scan")
    # The same folder again: the same rows, the same counts.
    v.press(description="cmd_Go", root=window)
    time.sleep(0.3)
    check_equal(check_fixture_rows(v, root), first, "rows of the second scan")
    v.press(description="cmd_Ende", root=window)
    check_equal(v.wait_exit(), 0, "exit code")


def journey(v):
    scan_fixture(v)


if __name__ == "__main__":
    run_journey(journey)
