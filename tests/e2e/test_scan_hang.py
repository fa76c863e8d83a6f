"""Journey: stopping a scan. In a slow tree the count lines count up while
the scan runs and the stop button ends it at once: the folders found so far
are listed, cut-short folders say so, complete ones have their full size,
the counts match the list. In a tree with a folder whose opening hangs (like
a hung network mount) the stop button closes the progress window at once
too, and the scanned folder says its size is incomplete."""

import os
import re
import time

from slow_tree import SlowTree
from velmaro_e2e import (check, check_equal, count_lines, folder_path, kb_text,
                         run_journey, skip, wait_until)

INCOMPLETE = "Größe unvollständig (Suche abgebrochen)"


def found_count(text):
    match = re.match(r"^(\d+) Ordner gefunden $", text)
    return int(match.group(1)) if match else -1


def scan_and_stop(v, tree, before_stop, max_seconds):
    """Mounts the tree, starts a scan in it, runs before_stop() while the
    progress window shows, presses "Stopp"; returns the rows by path."""
    tree.mount(skip)
    v.start_app(cwd=tree.mountpoint)
    v.press(description="cmd_Go", root=v.main_window())
    progress = v.window(description="BitteWarten", timeout=10)
    stop = v.find(description="cmd_Stopp", root=progress)
    check_equal([v.label_text(d, root=progress) for d in ("Label1_0", "Label1_1", "Label2")],
                ["Bitte warten"] * 2 + ["die Informationen des Verzeichnisses werden gelesen"],
                "texts of the progress window")
    before_stop()
    check(v.window_showing("BitteWarten"), "the scan ended before the stop")
    check(stop.do_action(0), "stop press refused")
    pressed = time.monotonic()
    wait_until(lambda: not v.window_showing("BitteWarten"), 10,
               "the progress window to close after the stop")
    took = time.monotonic() - pressed
    # Qt performs the press ~100 ms after the call; the bus adds its own.
    check(took < max_seconds, "the progress window took %.1f s to close" % took)
    rows = {row[1]: row for row in v.folder_list().rows()}
    root = folder_path(tree.mountpoint)
    check(root in rows, "no row for the scanned folder")
    check_equal(rows[root][2], INCOMPLETE, "size of the scanned folder")
    print("closed %.2f s after the stop, %d rows" % (took, len(rows)))
    return rows


def stop_slow_scan(v):
    tree = SlowTree(v, os.path.join(v.tmp, "langsam"))

    def counts_grow():
        first = wait_until(lambda: found_count(v.count_texts()[0]) > 0 and
                           found_count(v.count_texts()[0]), 10, "a first count")
        wait_until(lambda: found_count(v.count_texts()[0]) > first, 10, "the count to grow")
    rows = scan_and_stop(v, tree, counts_grow, 3)
    check(len(rows) < tree.folder_count(), "all %d folders listed" % len(rows))
    check_equal(v.count_texts(), count_lines(len(rows), 0), "count lines after the stop")
    complete = [path for path, row in rows.items() if row[2] != INCOMPLETE]
    check(complete, "no folder was complete before the stop")
    for path in complete:
        check_equal(rows[path][2], kb_text(tree.subtree_bytes(tree.level_of(path))),
                    "size of the complete folder %s" % path)
    v.exit_app()


def stop_hanging_scan(v):
    tree = SlowTree(v, os.path.join(v.tmp, "haengend"), fanout=2, depth=2, hang=30)
    # The walk soon reaches the hanging folder; every worker then waits.
    scan_and_stop(v, tree, lambda: time.sleep(2), 2)


def journey(v):
    stop_slow_scan(v)
    stop_hanging_scan(v)


if __name__ == "__main__":
    run_journey(journey)
