"""Helpers for the command-line tests: run the real `velmaro` executable as
a user would (a subprocess with no display, no Wayland, no D-Bus), parse its
output, and walk a tree independently of the program."""

import json
import os
import re
import stat
import subprocess
import sys
import tempfile

SKIP = 77


def velmaro_path():
    if len(sys.argv) < 2:
        sys.exit("usage: %s PATH-TO-VELMARO" % sys.argv[0])
    return os.path.abspath(sys.argv[1])


def headless_env(home):
    """The caller's environment without any display or session bus; a German
    locale, so machine output is shown to ignore it; HOME and XDG folders in
    `home`."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                        "XDG_RUNTIME_DIR", "XDG_SESSION_TYPE")}
    env.update(LC_ALL="de_DE.UTF-8", LANG="de_DE.UTF-8", QT_QPA_PLATFORM="xcb", HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, "config"), XDG_DATA_HOME=os.path.join(home, "data"))
    return env


class Run:
    """One finished run: exit code, stdout bytes, stderr text."""

    def __init__(self, completed):
        self.code = completed.returncode
        self.out = completed.stdout
        self.err = completed.stderr.decode("utf-8", "replace")


def run(args, home, cwd=None, prefix=(), timeout=120, stdout=None):
    """Runs velmaro; `stdout` names a file to write the output into (then
    Run.out is empty)."""
    out = open(stdout, "wb") if stdout else subprocess.PIPE
    try:
        completed = subprocess.run(list(prefix) + [velmaro_path()] + list(args), cwd=cwd,
                                   env=headless_env(home), stdout=out, stderr=subprocess.PIPE,
                                   timeout=timeout)
    finally:
        if stdout:
            out.close()
    if completed.stdout is None:
        completed.stdout = b""
    return Run(completed)


_ESCAPE = re.compile(rb"\\(x[0-9a-f]{2}|[\\tnr])")


def unescape(field):
    """Reverses the listing's escaping of a raw name (bytes in, bytes out)."""
    def one(match):
        code = match.group(1)
        if code.startswith(b"x"):
            return bytes([int(code[1:], 16)])
        return {b"\\": b"\\", b"t": b"\t", b"n": b"\n", b"r": b"\r"}[code]
    return _ESCAPE.sub(one, field)


def parse_bytes_listing(out):
    """`list --bytes` output -> {raw path: (bytes or None, zero flag, fields)}."""
    rows = {}
    for line in out.split(b"\n")[:-1]:
        fields = line.split(b"\t")
        assert len(fields) == 7, line
        path = unescape(fields[1])
        assert path not in rows, path
        rows[path] = (int(fields[2]) if fields[2] else None, fields[5] == b"1", fields)
    return rows


def raw_of(obj, key):
    """The exact bytes of a name in the JSON form."""
    if key + "_bytes" in obj:
        return bytes.fromhex(obj[key + "_bytes"])
    return obj[key].encode("utf-8")


def parse_json_listing(out):
    """`list --json` output -> (document, {raw path: (bytes, zero flag)})."""
    doc = json.loads(out.decode("utf-8"))
    rows = {}
    for folder in doc["folders"]:
        path = raw_of(folder, "path")
        assert raw_of(folder, "name") == os.path.basename(path.rstrip(b"/")), folder
        rows[path] = (folder["bytes"], folder["zero_byte"])
    return doc, rows


def independent_totals(root):
    """Walks `root` (bytes, ending in b"/") with lstat, on its own device:
    {folder path: (bytes of every non-folder below, zero-byte folder)}."""
    result = {}
    device = os.lstat(root).st_dev

    def walk(path):
        total, only_empty = 0, True
        for name in os.listdir(path):
            st = os.lstat(path + name)
            if stat.S_ISDIR(st.st_mode):
                if st.st_dev != device:
                    continue
                sub_total, sub_empty = walk(path + name + b"/")
                total += sub_total
                only_empty = only_empty and sub_empty
            else:
                total += st.st_size
                only_empty = only_empty and stat.S_ISREG(st.st_mode) and st.st_size == 0
        result[path] = (total, only_empty and total == 0)
        return total, only_empty

    walk(root)
    return result


def temp_folder():
    """(a temporary folder that other users may enter, for runs as nobody;
    the HOME for the program inside it). Checks the program's path first."""
    velmaro_path()
    path = tempfile.mkdtemp(prefix="velmaro-cli-")
    os.chmod(path, 0o755)
    home = os.path.join(path, "home")
    os.mkdir(home)
    return path, home
