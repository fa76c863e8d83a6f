"""Journey: a scan of a slow tree shows the progress window, its count
lines count up while it runs, and the stop button ends it at once: the
folders found so far are listed, cut-short folders say so, the counts
match the list."""

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


def check_progress_window(v):
    progress = v.window(description="BitteWarten", timeout=10)
    check_equal(v.label_text("Label1_0", root=progress), "Bitte warten",
                "progress title")
    check_equal(v.label_text("Label2", root=progress),
                "die Informationen des Verzeichnisses werden gelesen",
                "progress text")
    stop = v.find(description="cmd_Stopp", root=progress)
    check_equal(stop.name(), "Stopp", "stop button name")
    check(stop.has_state("enabled"), "stop button disabled at the start")
    return progress, stop


def stop_slow_scan(v):
    tree = SlowTree(v, os.path.join(v.tmp, "langsam"))
    tree.mount(skip)
    v.start_app(cwd=tree.mountpoint)
    v.press(description="cmd_Go", root=v.main_window())
    progress, stop = check_progress_window(v)
    # The count lines count up while the scan runs.
    first = wait_until(lambda: found_count(v.count_texts()[0]) > 0 and
                       found_count(v.count_texts()[0]), 10, "a first count")
    wait_until(lambda: found_count(v.count_texts()[0]) > first, 10,
               "the count to grow")
    check(stop.do_action(0), "stop press refused")
    pressed = time.monotonic()
    wait_until(lambda: not v.window_showing("BitteWarten"), 5,
               "the progress window to close after the stop")
    took = time.monotonic() - pressed
    check(took < 3, "the scan took %.1f s to end after the stop" % took)
    check_stopped_rows(v, tree)


def check_stopped_rows(v, tree):
    table = v.folder_list()
    rows = table.rows()
    check(0 < len(rows) < tree.folder_count(),
          "%d rows after the stop (tree: %d folders)" % (len(rows), tree.folder_count()))
    check_equal(v.count_texts(), count_lines(len(rows), 0), "count lines after the stop")
    by_path = {row[1]: row for row in rows}
    root = folder_path(tree.mountpoint)
    check(root in by_path, "no row for the scanned folder %s" % root)
    check_equal(by_path[root][2], INCOMPLETE, "size of the stopped root")
    complete = 0
    for path, row in by_path.items():
        check(path.startswith(root), "row outside the tree: %s" % path)
        if row[2] != INCOMPLETE:
            level = tree.level_of(path)
            check_equal(row[2], kb_text(tree.subtree_bytes(level)),
                        "size of the complete folder %s" % path)
            complete += 1
    check(complete > 0, "no folder was complete before the stop")
    print("stopped: %d of %d folders listed, %d complete"
          % (len(rows), tree.folder_count(), complete))


def journey(v):
    stop_slow_scan(v)


if __name__ == "__main__":
    run_journey(journey)
