"""Journey: a folder whose opening hangs (like a hung network mount) does
not hold the window: the stop button closes the progress window at once,
the folders found so far are listed and the scanned folder says its size
is incomplete."""

import os
import time

from slow_tree import SlowTree
from velmaro_e2e import check, folder_path, run_journey, skip, wait_until

INCOMPLETE = "Größe unvollständig (Suche abgebrochen)"
HANG_SECONDS = 30


def journey(v):
    tree = SlowTree(v, os.path.join(v.tmp, "haengend"), fanout=2, depth=2,
                    delay=0.01, hang=HANG_SECONDS)
    tree.mount(skip)
    v.start_app(cwd=tree.mountpoint)
    v.press(description="cmd_Go", root=v.main_window())
    progress = v.window(description="BitteWarten", timeout=10)
    stop = v.find(description="cmd_Stopp", root=progress)
    # The walk soon reaches the hanging folder; every worker then waits.
    time.sleep(2)
    check(v.window_showing("BitteWarten"), "the scan ended although a folder hangs")
    check(stop.do_action(0), "stop press refused")
    pressed = time.monotonic()
    wait_until(lambda: not v.window_showing("BitteWarten"), 10,
               "the progress window to close after the stop")
    took = time.monotonic() - pressed
    # Qt performs the press ~100 ms after the call; the bus adds its own.
    check(took < 2, "the progress window took %.1f s to close" % took)
    rows = {row[1]: row for row in v.folder_list().rows()}
    root = folder_path(tree.mountpoint)
    check(root in rows, "no row for the scanned folder")
    check(rows[root][2] == INCOMPLETE, "size of the scanned folder: %r" % rows[root][2])
    print("progress window closed %.2f s after the stop, %d rows" % (took, len(rows)))


if __name__ == "__main__":
    run_journey(journey)
