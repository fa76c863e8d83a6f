"""End-to-end harness: the real velmaro program under Xvfb, driven over the
accessibility bus (AT-SPI through plain Gio D-Bus calls).

A journey is a function taking a Velmaro session:

    def journey(v):
        v.start_app(cwd=fixture)
        v.press("cmd_Go")
        ...
    if __name__ == "__main__":
        run_journey(journey)

Controls are found by accessible description (= object name) or name.
On failure a screenshot, the accessible tree and the program's output are
left in the journey's temporary folder, whose path is printed.
"""

import os
import sys

import gi  # Debian's python3-gi: CTest runs the system's python3

gi.require_version("Gio", "2.0")
gi.require_version("GLib", "2.0")

import shutil  # noqa: E402
import signal  # noqa: E402
import subprocess  # noqa: E402
import tempfile  # noqa: E402
import time  # noqa: E402
import traceback  # noqa: E402

from atspi_client import ITEM_CONTAINERS  # noqa: E402
from e2e_checks import Fatal, check, check_equal  # noqa: E402,F401
from desktop_stack import DesktopStack, end_pid, wait_until  # noqa: E402
from velmaro_views import Alert, TableView, dump_tree  # noqa: E402

SKIP_CODE = 77
# Set (not "0") where the machine must give every journey what it needs
# (CI, as root): a skip is then a failure.
STRICT = os.environ.get("VELMARO_REQUIRE_PRIVILEGED", "0") not in ("", "0")
# Qt names the role of a message box "alert message" (AT-SPI: alert).
ALERT_ROLES = ("alert", "alert message")
DEFAULT_TIMEOUT = 10.0


class Skip(Exception):
    """The machine cannot give what the journey needs."""


def make_tree(root, layout):
    """Builds a tree: layout maps names to an int (file of that many bytes)
    or a dict (a folder with that content)."""
    os.makedirs(root, exist_ok=True)
    for name, content in layout.items():
        path = os.path.join(root, name)
        if isinstance(content, dict):
            make_tree(path, content)
        else:
            with open(path, "wb") as f:
                f.write(b"x" * content)


def folder_path(path):
    """A folder path as Velmaro shows it: absolute, ending in "/"."""
    path = os.path.abspath(path)
    return path if path.endswith("/") else path + "/"


def kb_text(size):
    """A folder list size text in German: the size in KB to two decimals,
    in its shortest form (3 bytes "0", 6 bytes "0,01", 1536 bytes "1,5")."""
    text = ("%.2f" % (size / 1024)).rstrip("0").rstrip(".")
    return text.replace(".", ",")


def count_lines(folders, zero):
    """The two count lines under the folder list."""
    return ("%d Ordner gefunden " % folders, "davon %d Ordner mit 0 Byte" % zero)


def skip(reason):
    raise Skip(reason)


class Velmaro:
    """One journey's desktop, program and temporary folder."""

    def __init__(self, exe, name):
        self.exe = os.path.abspath(exe)
        self.name = name
        self.tmp = tempfile.mkdtemp(prefix="velmaro-e2e-%s-" % name)
        self.home = os.path.join(self.tmp, "home")
        self.config_home = os.path.join(self.home, ".config")
        self.data_home = os.path.join(self.home, ".local", "share")
        self.cache_home = os.path.join(self.home, ".cache")
        for folder in (self.config_home, self.data_home, self.cache_home):
            os.makedirs(folder, exist_ok=True)
        self.stack = DesktopStack(self.tmp)
        self.app_process = None
        self.app = None
        self.cleanups = []       # callables, run newest first at close()

    # --- lifecycle ----------------------------------------------------
    def app_env(self):
        env = dict(self.stack.env)
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": self.config_home,
            "XDG_DATA_HOME": self.data_home,
            "XDG_CACHE_HOME": self.cache_home,
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb",
            "LC_ALL": "de_DE.UTF-8",
            "LANG": "de_DE.UTF-8",
            "LANGUAGE": "de",
        })
        env.pop("NO_AT_BRIDGE", None)
        return env

    def start_app(self, cwd, timeout=20):
        """Starts velmaro with cwd as its current folder and waits until its
        main window is on the accessibility bus and showing."""
        if self.stack.display is None:
            self.stack.start()
        self.app_process = self.stack.spawn("velmaro", [self.exe],
                                            env=self.app_env(), cwd=cwd)
        self.app = wait_until(self._find_app, timeout, "velmaro on the a11y bus",
                              0.1)
        self.stack.note_registry()
        self.main_window(timeout)
        return self.app

    def _find_app(self):
        if self.app_process.poll() is not None:
            raise Fatal("velmaro ended at start (exit %s); see %s"
                                 % (self.app_process.returncode,
                                    os.path.join(self.tmp, "velmaro.log")))
        for app in self.stack.a11y.applications():
            if self.stack.a11y.pid_of(app.bus_name) == self.app_process.pid:
                return app
        return None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end by itself; returns its exit code."""
        try:
            return self.app_process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("velmaro still running %.0f s after the "
                                 "last window should have closed" % timeout)

    def close(self, keep):
        """Ends the program and the desktop, runs clean-ups; removes the
        temporary folder unless keep."""
        if self.app_process is not None and self.app_process.poll() is None:
            end_pid(self.app_process.pid)
            try:
                self.app_process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
        for cleanup in reversed(self.cleanups):
            try:
                cleanup()
            except Exception as error:  # noqa: BLE001
                print("clean-up failed: %s" % error)
        self.stack.stop()
        if not keep:
            shutil.rmtree(self.tmp, ignore_errors=True)

    # --- finding ------------------------------------------------------
    def windows(self):
        """The program's showing top-level windows (frames, dialogs, alerts)."""
        return [w for w in self.app.children() if w.has_state("showing")]

    def window(self, description=None, name=None, role=None,
               timeout=DEFAULT_TIMEOUT):
        """Waits for a showing top-level window matching all given keys."""
        def match():
            for window in self.windows():
                if self._matches(window, description, name, role):
                    return window
            return None
        what = "window %s" % self._keys(description, name, role)
        return wait_until(match, timeout, what)

    def window_showing(self, description):
        return any(w.description() == description for w in self.windows())

    def main_window(self, timeout=DEFAULT_TIMEOUT):
        return self.window(description="Velmaro", timeout=timeout)

    def no_window(self, description=None, name=None, role=None,
                  timeout=DEFAULT_TIMEOUT):
        """Waits until no showing window matches."""
        def gone():
            return not any(self._matches(w, description, name, role)
                           for w in self.windows())
        wait_until(gone, timeout, "window %s to close"
                   % self._keys(description, name, role))

    @staticmethod
    def _keys(description, name, role):
        keys = [("description", description), ("name", name), ("role", role)]
        return ", ".join("%s=%r" % kv for kv in keys if kv[1] is not None)

    @staticmethod
    def _matches(node, description, name, role):
        if description is not None and node.description() != description:
            return False
        if name is not None and node.name() != name:
            return False
        if role is not None:
            roles = (role,) if isinstance(role, str) else role
            if node.role_name() not in roles:
                return False
        return True

    def descendants(self, root):
        """Every accessible below root, breadth first, not entering the
        items of tables, trees and lists."""
        queue = [root]
        while queue:
            node = queue.pop(0)
            yield node
            if node is root or node.role_name() not in ITEM_CONTAINERS:
                queue.extend(node.children())

    def find_all(self, root=None, description=None, name=None, role=None):
        roots = [root] if root is not None else self.windows()
        found = []
        for top in roots:
            for node in self.descendants(top):
                if self._matches(node, description, name, role):
                    found.append(node)
        return found

    def find(self, description=None, name=None, role=None, root=None,
             timeout=DEFAULT_TIMEOUT):
        """Waits for exactly one control matching all given keys (in root,
        or in every showing window)."""
        what = "control %s" % self._keys(description, name, role)

        def one():
            found = self.find_all(root, description, name, role)
            if len(found) > 1:
                raise LookupError("%d controls match %s" % (len(found), what))
            return found[0] if found else None
        return wait_until(one, timeout, what)

    # --- acting and reading -------------------------------------------
    def press(self, description=None, name=None, root=None):
        """Presses a button (its first action); Qt performs it ~100 ms later."""
        button = self.find(description=description, name=name, root=root)
        check(button.has_state("enabled"), "%r is disabled" % button)
        check(button.do_action(0), "press of %r refused" % button)
        return button

    def label_text(self, description, root=None):
        return self.find(description=description, root=root).name()

    def table(self, description, root=None):
        """The item view with that description, read as a table."""
        return TableView(self, self.find(description=description, root=root))

    def folder_list(self):
        return self.table("roListBox_Ordner", root=self.main_window())

    def select_folder(self, path):
        """Selects the folder list's row of path; returns the list and row."""
        table = self.folder_list()
        row = table.find_row(1, path)
        check(row is not None, "no row for %s" % path)
        table.select_row(row)
        return table, row

    def count_texts(self):
        window = self.main_window()
        return (self.label_text("Label_Info_0", root=window),
                self.label_text("Label_Info_1", root=window))

    def scan_new_tree(self, name, layout, folders, zero):
        """Builds `layout` as the folder `name` in the test's temporary
        folder, starts the program there, runs "Unterordner suchen" and waits
        for these counts. Returns the tree's path as the list shows it."""
        root = os.path.join(self.tmp, name)
        make_tree(root, layout)
        self.start_app(cwd=root)
        self.press(description="cmd_Go", root=self.main_window())
        self.wait_counts(folders, zero)
        return folder_path(root)

    def exit_app(self):
        """Presses "Exit" and checks that the program ends cleanly."""
        self.press(description="cmd_Ende", root=self.main_window())
        if self.wait_exit() != 0:
            raise AssertionError("the program did not end with exit code 0")

    def wait_counts(self, folders, zero, timeout=30):
        """Waits until a scan has ended with these counts: no progress
        window, both count lines as expected, the list holding that many
        rows. Returns the folder list."""
        expected = count_lines(folders, zero)
        state = {}

        def done():
            if self.window_showing("BitteWarten"):
                state["seen"] = "the progress window is still open"
                return False
            texts = self.count_texts()
            rows = self.folder_list().row_count()
            state["seen"] = "count lines %r, %d rows" % (texts, rows)
            return texts == expected and rows == folders
        try:
            wait_until(done, timeout, "the scan to end")
        except TimeoutError:
            raise AssertionError("scan did not end with %r: %s"
                                 % (expected, state.get("seen")))
        return self.folder_list()

    # --- message boxes ------------------------------------------------
    def alert(self, timeout=DEFAULT_TIMEOUT):
        """Waits for a message box; returns an Alert."""
        node = self.window(role=ALERT_ROLES, timeout=timeout)
        return Alert(self, node)

    def answer(self, expected_text, button, title=None, timeout=DEFAULT_TIMEOUT):
        """Waits for a message box, checks its text (and title), presses the
        named button and waits for the box to close."""
        box = self.alert(timeout)
        box.check(expected_text, title)
        box.press(button)
        return box

    # --- screen -------------------------------------------------------
    def xdotool(self, *args):
        out = subprocess.run(["xdotool"] + [str(a) for a in args],
                             env=self.stack.env, capture_output=True, text=True,
                             timeout=10)
        if out.returncode != 0:
            raise RuntimeError("xdotool %s: %s" % (" ".join(map(str, args)),
                                                   out.stderr.strip()))
        return out.stdout

    def click(self, x, y, double=False):
        # No --sync: it waits forever when the pointer is already there.
        self.xdotool("mousemove", x, y)
        time.sleep(0.05)
        if double:
            self.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        else:
            self.xdotool("click", 1)

    def click_node(self, node):
        x, y, w, h = node.extents()
        check(w > 0 and h > 0, "%r has no area on screen" % node)
        self.click(x + w // 2, y + h // 2)

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.stack.env,
                       capture_output=True, timeout=20)
        return path

    def dump_tree(self, path):
        with open(path, "w") as f:
            dump_tree(self, f)
        return path


def run_journey(journey):
    """Runs journey(Velmaro) against the program named in argv[1]; exits 0
    on success, 77 on a skip, 1 on a failure (details kept on disk)."""
    if len(sys.argv) < 2:
        print("usage: %s PATH-TO-VELMARO" % sys.argv[0])
        sys.exit(2)
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    v = Velmaro(sys.argv[1], name)
    # A test runner's SIGTERM (time-out) still tears the desktop down.
    signal.signal(signal.SIGTERM, _terminated)
    started = time.monotonic()
    failed = False
    try:
        journey(v)
    except Skip as reason:
        print("SKIP %s: %s" % (name, reason))
        v.close(keep=False)
        if STRICT:
            print("FAIL %s: skipped although VELMARO_REQUIRE_PRIVILEGED is set" % name)
            sys.exit(1)
        sys.exit(SKIP_CODE)
    except BaseException:
        failed = True
        traceback.print_exc()
        _leave_evidence(v)
    v.close(keep=failed)
    took = time.monotonic() - started
    if failed:
        print("FAIL %s after %.1f s; evidence in %s" % (name, took, v.tmp))
        sys.exit(1)
    print("PASS %s in %.1f s" % (name, took))
    sys.exit(0)


def _terminated(signum, frame):
    raise SystemExit("terminated by signal %d" % signum)


def _leave_evidence(v):
    if v.stack.display is None:
        return
    try:
        print("screenshot: %s" % v.screenshot(os.path.join(v.tmp, "failure.png")))
    except Exception as error:  # noqa: BLE001
        print("no screenshot: %s" % error)
    try:
        if v.app is not None:
            print("accessible tree: %s"
                  % v.dump_tree(os.path.join(v.tmp, "failure-tree.txt")))
    except Exception as error:  # noqa: BLE001
        print("no accessible tree: %s" % error)
    log = os.path.join(v.tmp, "velmaro.log")
    if os.path.exists(log):
        with open(log, errors="replace") as f:
            tail = f.read()[-3000:]
        if tail.strip():
            print("--- velmaro output (tail) ---\n%s\n---" % tail)
