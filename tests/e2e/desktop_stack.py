"""A private desktop for one journey: Xvfb, a D-Bus session, the
accessibility bus, a window manager.

Every process is started with its id kept; stop() ends them newest first,
by id, also after a failure half-way through start(). Processes that the
buses start on their own (the accessibility bus daemon, the registry
daemon) are looked up by id on the bus and ended too.
"""

import os
import select
import signal
import subprocess
import time

from gi.repository import Gio, GLib

from atspi_client import AtspiBus
from e2e_checks import Fatal

AT_SPI_LAUNCHERS = ("/usr/libexec/at-spi-bus-launcher",
                    "/usr/lib/at-spi2-core/at-spi-bus-launcher")

# Variables of the outer desktop that must not leak into ours.
FOREIGN_ENV = ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
               "AT_SPI_BUS_ADDRESS", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP",
               "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME", "QT_SCALE_FACTOR",
               "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "SESSION_MANAGER",
               "XAUTHORITY", "GNOME_DESKTOP_SESSION_ID")


def wait_until(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns a true value; returns that value.
    Exceptions inside predicate count as 'not yet'. Raises TimeoutError."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except Fatal:
            raise
        except Exception as error:  # noqa: BLE001 - retried until timeout
            last_error = error
        if time.monotonic() >= deadline:
            detail = " (last error: %s)" % last_error if last_error else ""
            raise TimeoutError("timed out after %.1f s waiting for %s%s"
                               % (timeout, what, detail))
        time.sleep(interval)


def read_line_from_fd(fd, timeout, what):
    """Reads one line that a child writes to the pipe fd."""
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0:
            raise TimeoutError("no %s within %.0f s" % (what, timeout))
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            chunk = os.read(fd, 4096)
            if not chunk:
                raise RuntimeError("%s: pipe closed before a line came" % what)
            data += chunk
    return data.decode().strip()


def pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


def process_name(pid):
    try:
        with open("/proc/%d/comm" % pid) as comm:
            return comm.read().strip()
    except OSError:
        return None


def end_pid(pid, grace=3.0):
    """Ends one process by id: SIGTERM, then SIGKILL after the grace time."""
    if not pid or not pid_alive(pid):
        return
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline and pid_alive(pid):
        time.sleep(0.05)
    if pid_alive(pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


class DesktopStack:
    """Xvfb + session bus + accessibility bus + openbox, in a temp folder."""

    def __init__(self, workdir):
        self.workdir = workdir
        self.processes = []      # (name, Popen), in start order
        self.extra_pids = []     # (name, pid) started by the buses
        self.display = None
        self.session_address = None
        self.a11y_address = None
        self.a11y = None         # AtspiBus
        self.env = self._base_env()

    def _base_env(self):
        env = {k: v for k, v in os.environ.items() if k not in FOREIGN_ENV}
        runtime = os.path.join(self.workdir, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env["XDG_RUNTIME_DIR"] = runtime
        env["NO_AT_BRIDGE"] = "1"          # keep GTK tools off the a11y bus
        env["GSETTINGS_BACKEND"] = "memory"
        return env

    def log_path(self, name):
        return os.path.join(self.workdir, "%s.log" % name)

    def spawn(self, name, argv, env=None, pass_fds=(), cwd=None):
        log = open(self.log_path(name), "ab")
        try:
            process = subprocess.Popen(
                argv, env=env or self.env, cwd=cwd, stdin=subprocess.DEVNULL,
                stdout=log, stderr=subprocess.STDOUT, pass_fds=pass_fds,
                start_new_session=True)
        finally:
            log.close()
        self.processes.append((name, process))
        return process

    def _spawn_with_fd_line(self, name, make_argv, what, timeout=15):
        read_fd, write_fd = os.pipe()
        try:
            self.spawn(name, make_argv(write_fd), pass_fds=(write_fd,))
            os.close(write_fd)
            write_fd = None
            return read_line_from_fd(read_fd, timeout, what)
        finally:
            os.close(read_fd)
            if write_fd is not None:
                os.close(write_fd)

    def start(self):
        """Starts the stack; on failure, ends what was started and raises."""
        try:
            self._start_xvfb()
            self._start_session_bus()
            self._start_a11y_bus()
            self._start_openbox()
        except BaseException:
            self.stop()
            raise

    def _start_xvfb(self):
        number = self._spawn_with_fd_line(
            "xvfb", lambda fd: ["Xvfb", "-displayfd", str(fd), "-screen", "0",
                                "1280x1024x24", "-dpi", "96", "-nolisten",
                                "tcp", "-noreset"],
            "display number from Xvfb")
        self.display = ":" + number
        self.env["DISPLAY"] = self.display

    def _start_session_bus(self):
        self.session_address = self._spawn_with_fd_line(
            "dbus-session", lambda fd: ["dbus-daemon", "--session", "--nofork",
                                        "--nopidfile", "--print-address=%d" % fd],
            "session bus address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.session_address

    def _session_connection(self):
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        return Gio.DBusConnection.new_for_address_sync(
            self.session_address, flags, None, None)

    def _start_a11y_bus(self):
        launcher = next((p for p in AT_SPI_LAUNCHERS if os.path.exists(p)), None)
        if launcher is None:
            raise RuntimeError("at-spi-bus-launcher not found (install at-spi2-core)")
        self.spawn("at-spi-bus-launcher", [launcher, "--launch-immediately"])
        session = self._session_connection()
        try:
            def address():
                reply = session.call_sync(
                    "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                    None, GLib.VariantType.new("(s)"),
                    Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
                return reply.unpack()[0]
            self.a11y_address = wait_until(address, 15, "the accessibility bus")
        finally:
            session.close_sync(None)
        self.a11y = AtspiBus(self.a11y_address)
        daemon = self.a11y.pid_of("org.freedesktop.DBus")
        if daemon:
            self.extra_pids.append(("a11y-dbus-daemon", daemon, process_name(daemon)))

    def _start_openbox(self):
        self.spawn("openbox", ["openbox", "--sm-disable"])

        def wm_ready():
            self.check_alive()
            out = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                 env=self.env, capture_output=True, text=True,
                                 timeout=5)
            return out.returncode == 0 and "window id" in out.stdout
        wait_until(wm_ready, 15, "openbox (_NET_SUPPORTING_WM_CHECK)", 0.1)

    def check_alive(self):
        """Raises when a process of the stack has ended."""
        for name, process in self.processes:
            if name in ("xvfb", "dbus-session", "at-spi-bus-launcher", "openbox") \
                    and process.poll() is not None:
                with open(self.log_path(name), errors="replace") as log:
                    tail = log.read()[-500:].strip()
                raise Fatal("%s (display %s) ended with %s: %s"
                                   % (name, self.display, process.returncode, tail))

    def note_registry(self):
        """Remembers the registry daemon's pid once it has been activated."""
        if self.a11y is None:
            return
        if any(entry[0] == "registryd" for entry in self.extra_pids):
            return
        pid = self.a11y.pid_of("org.a11y.atspi.Registry")
        if pid:
            self.extra_pids.append(("registryd", pid, process_name(pid)))

    def _end_extra(self, name):
        """Ends a bus-started process, if the pid still names the same
        program (a pid can be reused once the process has gone)."""
        for entry in self.extra_pids:
            if entry[0] == name and process_name(entry[1]) == entry[2]:
                end_pid(entry[1])

    def stop(self):
        """Ends everything, newest first. Safe to call more than once."""
        self.note_registry()
        if self.a11y is not None:
            self.a11y.close()
            self.a11y = None
        for name, process in reversed(self.processes):
            if name == "at-spi-bus-launcher":
                # The registry belongs to the a11y bus: it goes first.
                self._end_extra("registryd")
            if process.poll() is None:
                end_pid(process.pid)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    pass
            if name == "at-spi-bus-launcher":
                self._end_extra("a11y-dbus-daemon")
        for entry in self.extra_pids:
            self._end_extra(entry[0])
        self.processes = []
        self.extra_pids = []
