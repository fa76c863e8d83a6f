#!/usr/bin/python3
"""The real window's scan with and without the accessibility bridge, timed
from outside, against the bare walk in the same run.

    a11y_scan.py VELMARO FLOOR_WALK TREE [--runs N]

One private desktop (Xvfb, a session bus, the accessibility bus, openbox;
the harness of tests/e2e). Each round, in turn:
  - walk: bench/floor_walk --threads 2 TREE (its own wall time);
  - off:  velmaro started in TREE without the bridge;
  - on:   velmaro with the bridge (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) while
          a screen reader's stand-in listens on the accessibility bus: it
          registers for the events a screen reader asks for (object, window
          and focus events), receives every one of them and asks the
          program for each event's source role and name.
A run waits until the started program is idle, clicks "Unterordner suchen"
with xdotool (the same way in both modes) and takes the scan's end as the
last moment the program used CPU before it stayed idle for IDLE seconds
(/proc/PID/stat, sampled every 10 ms, the kernel's tick for CPU time, by
cpu_idle.py in a process of its own at nice 19). At nice 0, as this script
runs, the sampling outranked the scan's workers (nice 10) and took 2-4 % of
the two cores during the scan, which the walk it is compared with does not
meet; at the scan's end the cores are idle and the sampler sees the last
change at once. So the time covers everything the program does for the
scan, the bridge's work included. The first run of the
"on" mode also reads the count lines over AT-SPI as a check that the click
started the scan of TREE, and the stand-in reports what the list announced.

Prints "key: value" lines: per mode the median over the rounds and each
run's seconds, and the ratios to the walk.
"""

import argparse
import os
import statistics
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import gi  # noqa: E402

gi.require_version("Gio", "2.0")
gi.require_version("GLib", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

from atspi_client import AtspiBus, REGISTRY  # noqa: E402
from cpu_idle import TICK, cpu_ticks  # noqa: E402
from desktop_stack import DesktopStack, end_pid, wait_until  # noqa: E402

IDLE = 1.0  # seconds without CPU use that end a scan
POLL = 0.01  # seconds between two looks at the program's CPU time
# What a screen reader registers for (a superset of what Orca asks for).
EVENTS = ("object:", "window:", "focus:", "document:")
EVENT_INTERFACES = ("org.a11y.atspi.Event.Object", "org.a11y.atspi.Event.Window",
                    "org.a11y.atspi.Event.Focus", "org.a11y.atspi.Event.Document")


class ScreenReaderStandIn:
    """Registers for events with the registry and receives them on a thread
    of its own; counts them by member (and the list's by source)."""

    def __init__(self, address):
        self.address = address
        self.counts = {}
        self.lock = threading.Lock()
        self.loop = None
        self.ready = threading.Event()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()
        if not self.ready.wait(10):
            raise RuntimeError("the screen reader's stand-in did not start")

    def _run(self):
        context = GLib.MainContext()
        context.push_thread_default()
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        connection = Gio.DBusConnection.new_for_address_sync(self.address, flags, None, None)
        for iface in EVENT_INTERFACES:
            connection.signal_subscribe(None, iface, None, None, None,
                                        Gio.DBusSignalFlags.NONE, self._event)
        for event in EVENTS:
            for args in (GLib.Variant("(s)", (event,)), GLib.Variant("(sas)", (event, []))):
                try:
                    connection.call_sync(REGISTRY, "/org/a11y/atspi/registry",
                                         "org.a11y.atspi.Registry", "RegisterEvent", args,
                                         None, Gio.DBusCallFlags.NONE, 5000, None)
                    break
                except GLib.Error:
                    continue
        self.loop = GLib.MainLoop(context)
        self.ready.set()
        self.loop.run()

    def _event(self, connection, sender, path, iface, member, params):
        key = "%s.%s %s" % (iface.rsplit(".", 1)[-1], member, params.unpack()[0])
        with self.lock:
            self.counts[key] = self.counts.get(key, 0) + 1
        # As a screen reader does before it speaks: the source's role and name.
        try:
            connection.call_sync(sender, path, "org.a11y.atspi.Accessible", "GetRole", None,
                                 None, Gio.DBusCallFlags.NONE, 2000, None)
            connection.call_sync(sender, path, "org.freedesktop.DBus.Properties", "Get",
                                 GLib.Variant("(ss)", ("org.a11y.atspi.Accessible", "Name")),
                                 None, Gio.DBusCallFlags.NONE, 2000, None)
        except GLib.Error:
            pass

    def take(self):
        with self.lock:
            counts, self.counts = self.counts, {}
        return counts

    def stop(self):
        if self.loop is not None:
            self.loop.quit()


def wait_idle(pid, idle):
    """Returns the monotonic time of the last CPU use seen before the
    process stayed idle for `idle` seconds, and its CPU seconds so far;
    sampled by cpu_idle.py at nice 19."""
    out = subprocess.run(["nice", "-n", "19", sys.executable, os.path.join(HERE, "cpu_idle.py"), str(pid),
                          str(idle), str(POLL)], capture_output=True, text=True, check=True).stdout
    end, cpu = out.split()
    return float(end), float(cpu)


def floor_seconds(floor_walk, tree):
    out = subprocess.run([floor_walk, "--threads", "2", tree], capture_output=True,
                         text=True, check=True).stdout
    return float(next(line.split(": ")[1] for line in out.splitlines() if line.startswith("seconds: ")))


class Bench:
    def __init__(self, velmaro, tree, workdir):
        self.velmaro = velmaro
        self.tree = tree
        self.workdir = workdir
        self.stack = DesktopStack(workdir)
        self.stack.start()
        self.reader = ScreenReaderStandIn(self.stack.a11y_address)
        self.go_at = None  # cmd_Go's centre in window coordinates
        self.checked = False

    def env(self, bridge):
        home = os.path.join(self.workdir, "home")
        env = dict(self.stack.env)
        env.update({"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
                    "XDG_CACHE_HOME": os.path.join(home, ".cache"),
                    "QT_QPA_PLATFORM": "xcb", "LC_ALL": "de_DE.UTF-8", "LANG": "de_DE.UTF-8"})
        if bridge:
            env.update({"QT_ACCESSIBILITY": "1", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
            env.pop("NO_AT_BRIDGE", None)
        else:
            env["NO_AT_BRIDGE"] = "1"
            env["QT_ACCESSIBILITY"] = "0"
            env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        return env

    def app_of(self, pid):
        for app in self.stack.a11y.applications():
            if self.stack.a11y.pid_of(app.bus_name) == pid:
                return app
        return None

    def find(self, node, description, depth=0):
        if node.description() == description:
            return node
        if depth > 8:
            return None
        for child in node.children():
            if child.role_name() in ("table", "tree table", "list"):
                continue
            found = self.find(child, description, depth + 1)
            if found is not None:
                return found
        return None

    def locate_go(self, pid, window):
        """cmd_Go's centre relative to the window (Qt answers in screen
        coordinates whatever is asked)."""
        app = wait_until(lambda: self.app_of(pid), 20, "velmaro on the a11y bus", 0.1)
        button = wait_until(lambda: self.find(app, "cmd_Go"), 20, "cmd_Go", 0.1)
        x, y, w, h = button.extents(0)
        wx, wy = self.window_position(window)
        self.go_at = (x + w // 2 - wx, y + h // 2 - wy)
        return app

    def window_position(self, window):
        out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.stack.env,
                             capture_output=True, text=True, check=True).stdout
        at = dict(line.split("=", 1) for line in out.split())
        return int(at["X"]), int(at["Y"])

    def window_of(self, pid):
        def search():
            out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                                 env=self.stack.env, capture_output=True, text=True)
            ids = out.stdout.split()
            return ids[-1] if ids else None
        return wait_until(search, 20, "velmaro's window", 0.1)

    def run(self, bridge):
        process = self.stack.spawn("velmaro", [self.velmaro], env=self.env(bridge), cwd=self.tree)
        try:
            window = self.window_of(process.pid)
            app = self.locate_go(process.pid, window) if bridge and self.go_at is None else None
            wait_idle(process.pid, 0.5)
            self.reader.take()
            before = cpu_ticks(process.pid) / TICK
            wx, wy = self.window_position(window)
            start = time.monotonic()
            subprocess.run(["xdotool", "mousemove", str(wx + self.go_at[0]), str(wy + self.go_at[1]),
                            "click", "1"], env=self.stack.env, check=True)
            end, cpu = wait_idle(process.pid, IDLE)
            events = self.reader.take()
            if bridge and not self.checked:
                app = app or self.app_of(process.pid)
                labels = [self.find(app, "Label_Info_%d" % i) for i in (0, 1)]
                print("count_lines: %s" % " | ".join(l.name() if l else "?" for l in labels))
                for key in sorted(events):
                    print("events_during_scan: %6d %s" % (events[key], key))
                self.checked = True
            return end - start, cpu - before
        finally:
            end_pid(process.pid)
            process.wait(timeout=10)

    def close(self):
        self.reader.stop()
        self.stack.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("velmaro")
    parser.add_argument("floor_walk")
    parser.add_argument("tree")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)
    workdir = subprocess.run(["mktemp", "-d"], capture_output=True, text=True).stdout.strip()
    bench = Bench(os.path.abspath(args.velmaro), tree, workdir)
    times = {"walk": [], "off": [], "on": []}
    cpus = {"off": [], "on": []}
    try:
        floor_seconds(args.floor_walk, tree)  # warm the cache
        bench.run(True)                       # finds the button, warms the program's files
        for i in range(args.runs):
            print("round %d/%d ..." % (i + 1, args.runs), file=sys.stderr)
            times["walk"].append(floor_seconds(args.floor_walk, tree))
            for mode in (("on", "off") if i % 2 else ("off", "on")):
                seconds, cpu = bench.run(mode == "on")
                times[mode].append(seconds)
                cpus[mode].append(cpu)
    finally:
        bench.close()
        subprocess.run(["rm", "-rf", workdir])
    for mode, values in times.items():
        print("%s_s: %.3f  (%s)" % (mode, statistics.median(values), " ".join("%.3f" % v for v in values)))
    for mode, values in cpus.items():
        print("%s_cpu_s: %.2f" % (mode, statistics.median(values)))
    walk = statistics.median(times["walk"])
    print("off_ratio: %.2f" % (statistics.median(times["off"]) / walk))
    print("on_ratio: %.2f" % (statistics.median(times["on"]) / walk))


if __name__ == "__main__":
    main()
