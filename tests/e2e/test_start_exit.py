"""Journey: the real program starts, shows its version in the About window
opened from the logo, and ends on "Exit" with exit code 0, its size in the
settings store."""

import configparser
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
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    check(parser.read(v.settings_path()), "no settings file at %s" % v.settings_path())
    # The first start opens at the minimum size: 10170 x 4860 twips of client area.
    check_equal(dict(parser["Setup"]), {"Width": "10290", "Height": "5295", "WindowState": "0"},
                "settings after Exit")


if __name__ == "__main__":
    run_journey(journey)
