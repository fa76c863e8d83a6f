"""Journey: first start, every control of the main window, the minimum
size, "Exit", the stored settings, and a second start at the stored size."""

import os
import re

from velmaro_e2e import check, check_equal, run_journey, wait_until

# Captioned controls: description (object name) -> accessible name.
CAPTIONS = {
    "cmd_Ende": "Exit",
    "cmd_Go": "Unterordner suchen",
    "cmd_OrdnerDel": "Ordner löschen",
    "cmd_OrdnerNull": "0 Byte Ordner löschen",
    "cmd_DelFile": "Ordnerdateien zeigen",
    "cmd_Info": "Eigenschaften",
    "Logo": "Über Velmaro",
    "Label_0": "Laufwerk",
    "Label_1": "Stammverzeichnis",
    "Label_2": "Verzeichnis",
}
PRESENT = ("Drive1", "Dir1", "roListBox_Ordner")
EMPTIED_AT_START = ("LabelVerzeichnis", "Label_Info_0", "Label_Info_1")
HEADERS = ["Ordnername", "kompletter Pfad", "Ordnergröße in KByte",
           "erstellt am", "letzte Änderung"]

# 10170 x 4860 twips of client area at 96 dpi (15 twips per pixel).
MIN_CLIENT = (678, 324)
SCREEN = (1280, 1024)


def client_size(v):
    x, y, w, h = v.main_window().extents()
    return (w, h)


def wait_client_size(v, size, what):
    last = []

    def ok():
        last[:] = [client_size(v)]
        return last[0] == size
    try:
        wait_until(ok, 5, what)
    except TimeoutError:
        raise AssertionError("%s: client size %r, expected %r"
                             % (what, last[0] if last else None, size))


def check_controls(v):
    window = v.main_window()
    check_equal(window.name(), "Velmaro", "window caption")
    for description, caption in CAPTIONS.items():
        node = v.find(description=description, root=window)
        check_equal(node.name(), caption, "accessible name of %s" % description)
        check(node.has_state("showing"), "%s is not showing" % description)
    for description in PRESENT:
        v.find(description=description, root=window)
    for description in EMPTIED_AT_START:
        check_equal(v.label_text(description, root=window), "",
                    "%s at start" % description)
    table = v.table("roListBox_Ordner", root=window)
    check_equal(table.row_count(), 0, "folder list rows at start")
    check_equal(table.header_names(), HEADERS, "folder list headers")
    exit_button = v.find(description="cmd_Ende", root=window)
    wait_until(lambda: exit_button.has_state("focused"), 5,
               "the exit button to hold the focus")


def check_centred(v):
    x, y, w, h = v.main_window().extents()
    centre = (x + w / 2, y + h / 2)
    # The frame's caption bar shifts the client area down a little.
    check(abs(centre[0] - SCREEN[0] / 2) <= 20 and abs(centre[1] - SCREEN[1] / 2) <= 40,
          "window not centred: client area at %r" % ((x, y, w, h),))


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
    check(os.path.exists(v.settings_path()),
          "no settings file at %s" % v.settings_path())
    return v.read_settings()


def journey(v):
    home = os.path.join(v.tmp, "start")
    os.makedirs(home)
    v.start_app(cwd=home)
    check_controls(v)
    wait_client_size(v, MIN_CLIENT, "first start at the designed size")
    check_centred(v)
    about_window(v)

    wid = v.window_id()
    v.xdotool("windowsize", wid, 800, 500)
    wait_client_size(v, (800, 500), "resized to 800 x 500")
    v.xdotool("windowsize", wid, 300, 200)
    wait_client_size(v, MIN_CLIENT, "resized below the minimum")

    stored = exit_and_read_settings(v)
    check_equal(stored, {"Width": "10290", "Height": "5295", "WindowState": "0"},
                "settings after Exit at the minimum size")

    # Second start: the stored size comes back (800 x 500 client pixels).
    used = v.settings_path()
    v.write_settings({"Width": "12120", "Height": "7935", "WindowState": "0"})
    v.start_app(cwd=home)
    wait_client_size(v, (800, 500), "second start at the stored size")
    check_equal(v.label_text("Label_Info_0"), "", "Label_Info_0 at start")
    for path in v.settings_paths():
        if path != used:
            os.remove(path)
    stored = exit_and_read_settings(v)
    check_equal(stored, {"Width": "12120", "Height": "7935", "WindowState": "0"},
                "settings after the second Exit")


if __name__ == "__main__":
    run_journey(journey)
