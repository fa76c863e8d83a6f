#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

Every folder of src/ is one layer. Bottom to top (a file may include its
own folder and any lower layer; folders of one rank do not include each
other):

  0 engine          the scan and the safe delete (no Qt)
  0 treemap         the map's layout and colour scale (no Qt)
  1 rows            the folder row texts shared by the window and the
                    command line (Qt Core only)
  2 platform        settings, message boxes, shell, volumes
  2 cli             the command line (no windows)
  3 folderlist      the folder list's store, sorting and model
  4 controls        button, label, line, folder list widget
  5 scan, actions, about, map (the map window)
  6 fileview        uses the deletion and properties routines of actions
  7 app             the main window and start-up (main.cpp may use cli)

A folder of src/ that is not listed here fails the check as well, so a new
folder has to be given its rank.

Usage: check-layers.py [SRC_DIR]   (default: the src folder beside scripts/)
"""

import os
import re
import sys

RANKS = {"engine": 0, "treemap": 0, "rows": 1, "platform": 2, "cli": 2,
         "folderlist": 3, "controls": 4, "scan": 5, "actions": 5,
         "about": 5, "map": 5, "fileview": 6, "app": 7}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(relative):
    return relative.split("/", 1)[0]


def upward_includes(path, relative, own):
    found = []
    with open(path, encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = layer_of(match.group(1))
            if target == own or target not in RANKS:
                continue
            if RANKS[target] >= RANKS[own]:
                found.append("%s:%d: %s (%s) includes %s (%s)"
                             % (relative, number, own, RANKS[own],
                                match.group(1), target))
    return found


def violations(src):
    found = []
    for folder, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, src)
            own = layer_of(relative)
            if "/" not in relative:
                continue
            if own not in RANKS:
                found.append("%s: folder %s has no layer" % (relative, own))
                continue
            found.extend(upward_includes(path, relative, own))
    return found


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src")
    found = violations(src)
    for line in found:
        print(line)
    print("%d include(s) against the layering" % len(found))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
