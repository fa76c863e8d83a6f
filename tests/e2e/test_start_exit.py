"""Journey: start, the About window from the logo, a resize, "Exit" with
exit code 0 and the size in the settings store, a second start at the
stored size."""

import configparser
import os
import re

from velmaro_e2e import check, check_equal, run_journey, wait_until


def wait_client_size(v, size, what):
    wait_until(lambda: v.main_window().extents()[2:] == size, 5,
               "%s: client size %r" % (what, size))


def project_version():
    """major, minor, patch from the project's CMakeLists.txt."""
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                       "CMakeLists.txt")
    with open(top) as f:
        match = re.search(r"project\(Velmaro VERSION (\d+)\.(\d+)\.(\d+)", f.read())
    check(match, "no project version in %s" % top)
    return tuple(int(part) for part in match.groups())


def about_window(v):
    """A click on the logo opens the About window; "Okay" closes it."""
    v.click_node(v.find(description="Logo", root=v.main_window()))
    about = v.window(description="Copyright")
    version = " Version %d.0%d.0%d" % project_version()
    check_equal(v.label_text("roLabel", root=about), version, "version strip")
    v.press(name="Okay", root=about)
    v.no_window(description="Copyright")


def exit_and_read_settings(v):
    v.press(description="cmd_Ende", root=v.main_window())
    check_equal(v.wait_exit(), 0, "exit code after Exit")
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    check(parser.read(v.settings_path()), "no settings file at %s" % v.settings_path())
    return dict(parser["Setup"])


def journey(v):
    home = os.path.join(v.tmp, "start")
    os.makedirs(home)
    v.start_app(cwd=home)
    about_window(v)
    v.xdotool("windowsize", v.window_id(), 800, 500)
    wait_client_size(v, (800, 500), "resized to 800 x 500")
    # 800 x 500 client pixels at 15 twips a pixel, plus the frame.
    stored = {"Width": "12120", "Height": "7935", "WindowState": "0"}
    check_equal(exit_and_read_settings(v), stored, "settings after Exit")

    v.start_app(cwd=home)
    wait_client_size(v, (800, 500), "second start at the stored size")
    check_equal(exit_and_read_settings(v), stored, "settings after the second Exit")


if __name__ == "__main__":
    run_journey(journey)
