"""Journey: the real program starts, shows its version in the About window
opened from the logo, and ends on "Exit" with exit code 0. (What it stores
on the way out: the main window's widget tests.)"""

import os
import re

from velmaro_e2e import check, check_equal, run_journey


def project_version():
    """major, minor, patch from the project's CMakeLists.txt."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                       "CMakeLists.txt")
    with open(top) as f:
        match = re.search(r"project\(Velmaro VERSION (\d+)\.(\d+)\.(\d+)", f.read())
    check(match, "no project version in %s" % top)
    return tuple(int(part) for part in match.groups())


def journey(v):
    home = os.path.join(v.tmp, "start")
    os.makedirs(home)
    v.start_app(cwd=home)
    v.click_node(v.find(description="Logo", root=v.main_window()))
    about = v.window(description="Copyright")
    check_equal(v.label_text("roLabel", root=about),
                " Version %d.0%d.0%d" % project_version(), "version strip")
    v.press(name="Okay", root=about)
    v.no_window(description="Copyright")

    v.press(description="cmd_Ende", root=v.main_window())
    check_equal(v.wait_exit(), 0, "exit code after Exit")


if __name__ == "__main__":
    run_journey(journey)
