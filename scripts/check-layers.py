#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

Layers, bottom to top (a file may include its own folder and any lower
layer; folders of one rank do not include each other):

  0 engine          no Qt
  0 treemap         the map's layout and colour scale (no Qt)
  1 rowtext         the folder row texts shared by the window and the
                    command line (Qt Core only; the files listed below)
  2 platform        settings, message boxes, shell, volumes
  2 cli             the command line (no windows)
  3 app/controls    button, label, line, folder list
  4 scan, actions, about, map (the map window)
  5 fileview        uses the deletion and properties routines of actions
  6 app             the main window and start-up (main.cpp may use cli)

Usage: check-layers.py [SRC_DIR]   (default: the src folder beside scripts/)
"""

import os
import re
import sys

ROWTEXT = {"scan/FolderRowBuilder.h", "scan/FolderRowBuilder.cpp",
           "platform/LocaleText.h", "platform/LocaleText.cpp",
           "app/controls/FolderRow.h"}
RANKS = {"engine": 0, "treemap": 0, "rowtext": 1, "platform": 2, "cli": 2,
         "app/controls": 3, "scan": 4, "actions": 4, "about": 4, "map": 4,
         "fileview": 5, "app": 6}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(relative):
    if relative in ROWTEXT:
        return "rowtext"
    if relative.startswith("app/controls/"):
        return "app/controls"
    return relative.split("/", 1)[0]


def violations(src):
    found = []
    for folder, _, files in os.walk(src):
        for name in files:
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, src)
            own = layer_of(relative)
            if own not in RANKS:
                continue
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match or "/" not in match.group(1):
                        continue
                    target = layer_of(match.group(1))
                    if target == own or target not in RANKS:
                        continue
                    if relative == "app/main.cpp" and target == "cli":
                        continue
                    if RANKS[target] >= RANKS[own]:
                        found.append("%s:%d: %s (%s) includes %s (%s)"
                                     % (relative, number, own, RANKS[own],
                                        match.group(1), target))
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
