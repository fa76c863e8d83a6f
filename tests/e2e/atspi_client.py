"""A small AT-SPI client over plain Gio D-Bus calls.

libatspi (and pyatspi/dogtail on top of it) cannot be initialised twice in
one process and wants a desktop session's settings; talking D-Bus directly
avoids both. Only what the journeys need is here: the accessible tree
(children, role, name, description, states), actions, component extents,
the Table interface and Selection.
"""

from gi.repository import Gio, GLib

REGISTRY = "org.a11y.atspi.Registry"
ROOT_PATH = "/org/a11y/atspi/accessible/root"
NULL_PATH = "/org/a11y/atspi/null"

IFACE_ACCESSIBLE = "org.a11y.atspi.Accessible"
IFACE_ACTION = "org.a11y.atspi.Action"
IFACE_COMPONENT = "org.a11y.atspi.Component"
IFACE_TABLE = "org.a11y.atspi.Table"
IFACE_SELECTION = "org.a11y.atspi.Selection"
IFACE_TEXT = "org.a11y.atspi.Text"
IFACE_PROPS = "org.freedesktop.DBus.Properties"

CALL_TIMEOUT_MS = 5000

# AtspiStateType values (at-spi2-core, atspi-constants.h).
STATE = {
    "active": 1, "armed": 2, "busy": 3, "checked": 4, "collapsed": 5,
    "defunct": 6, "editable": 7, "enabled": 8, "expandable": 9,
    "expanded": 10, "focusable": 11, "focused": 12, "horizontal": 14,
    "iconified": 15, "modal": 16, "multi-line": 17, "multiselectable": 18,
    "opaque": 19, "pressed": 20, "resizable": 21, "selectable": 22,
    "selected": 23, "sensitive": 24, "showing": 25, "single-line": 26,
    "stale": 27, "transient": 28, "vertical": 29, "visible": 30,
    "manages-descendants": 31, "indeterminate": 32, "required": 33,
    "truncated": 34, "animated": 35, "invalid-entry": 36,
    "selectable-text": 38, "is-default": 39, "visited": 40, "checkable": 41,
    "has-popup": 42, "read-only": 43,
}
STATE_NAMES = {number: name for name, number in STATE.items()}

# Roles whose children are cells or items: never walk into them.
ITEM_CONTAINERS = {"table", "tree table", "tree", "list", "list box"}


class AtspiBus:
    """A connection to the accessibility bus."""

    def __init__(self, address):
        flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                 | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.connection = Gio.DBusConnection.new_for_address_sync(
            address, flags, None, None)

    def call(self, bus_name, path, iface, method, args=None, reply=None):
        """Calls a method; returns the unpacked reply tuple."""
        result = self.connection.call_sync(
            bus_name, path, iface, method, args,
            GLib.VariantType.new(reply) if reply else None,
            Gio.DBusCallFlags.NONE, CALL_TIMEOUT_MS, None)
        return result.unpack() if result is not None else ()

    def registry_root(self):
        return Accessible(self, REGISTRY, ROOT_PATH)

    def pid_of(self, bus_name):
        """Process id behind a bus name on this bus, or None."""
        try:
            (pid,) = self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus",
                               "GetConnectionUnixProcessID",
                               GLib.Variant("(s)", (bus_name,)), "(u)")
            return pid
        except GLib.Error:
            return None

    def close(self):
        try:
            self.connection.close_sync(None)
        except GLib.Error:
            pass

    def applications(self):
        """The applications registered with the registry."""
        return self.registry_root().children()


class Accessible:
    """One accessible object, addressed by (bus name, object path)."""

    def __init__(self, bus, bus_name, path):
        self.bus = bus
        self.bus_name = bus_name
        self.path = path

    def __eq__(self, other):
        return (isinstance(other, Accessible) and self.bus_name == other.bus_name
                and self.path == other.path)

    def __hash__(self):
        return hash((self.bus_name, self.path))

    def __repr__(self):
        return "<%s %r %s>" % (self.role_name(), self.name(), self.description())

    def _call(self, iface, method, args=None, reply=None):
        return self.bus.call(self.bus_name, self.path, iface, method, args, reply)

    def _ref(self, ref):
        name, path = ref
        if path == NULL_PATH:
            return None
        return Accessible(self.bus, name, path)

    def prop(self, iface, name):
        (value,) = self._call(IFACE_PROPS, "Get",
                              GLib.Variant("(ss)", (iface, name)), "(v)")
        return value

    # --- Accessible ---------------------------------------------------
    def name(self):
        return self.prop(IFACE_ACCESSIBLE, "Name")

    def description(self):
        return self.prop(IFACE_ACCESSIBLE, "Description")

    def child_count(self):
        return self.prop(IFACE_ACCESSIBLE, "ChildCount")

    def children(self):
        (refs,) = self._call(IFACE_ACCESSIBLE, "GetChildren", None, "(a(so))")
        return [a for a in (self._ref(r) for r in refs) if a is not None]

    def child_at(self, index):
        (ref,) = self._call(IFACE_ACCESSIBLE, "GetChildAtIndex",
                            GLib.Variant("(i)", (index,)), "((so))")
        return self._ref(ref)

    def parent(self):
        return self._ref(self.prop(IFACE_ACCESSIBLE, "Parent"))

    def role_name(self):
        (role,) = self._call(IFACE_ACCESSIBLE, "GetRoleName", None, "(s)")
        return role

    def interfaces(self):
        (names,) = self._call(IFACE_ACCESSIBLE, "GetInterfaces", None, "(as)")
        return names

    def states(self):
        """The set of state names."""
        (words,) = self._call(IFACE_ACCESSIBLE, "GetState", None, "(au)")
        names = set()
        for index, word in enumerate(words):
            for bit in range(32):
                if word & (1 << bit):
                    number = index * 32 + bit
                    names.add(STATE_NAMES.get(number, "state-%d" % number))
        return names

    def has_state(self, state):
        return state in self.states()

    def text(self):
        """Visible text: the Text interface where offered, else the name."""
        if IFACE_TEXT in self.interfaces():
            count = self.prop(IFACE_TEXT, "CharacterCount")
            (value,) = self._call(IFACE_TEXT, "GetText",
                                  GLib.Variant("(ii)", (0, count)), "(s)")
            return value
        return self.name()

    # --- Action -------------------------------------------------------
    def action_names(self):
        count = self.prop(IFACE_ACTION, "NActions")
        names = []
        for i in range(count):
            (name,) = self._call(IFACE_ACTION, "GetName",
                                 GLib.Variant("(i)", (i,)), "(s)")
            names.append(name)
        return names

    def do_action(self, index=0):
        (ok,) = self._call(IFACE_ACTION, "DoAction",
                           GLib.Variant("(i)", (index,)), "(b)")
        return ok

    def do_named_action(self, name):
        names = self.action_names()
        if name not in names:
            raise LookupError("no action %r on %r (has %r)" % (name, self, names))
        return self.do_action(names.index(name))

    # --- Component ----------------------------------------------------
    def extents(self, coord_type=0):
        """(x, y, width, height); coord_type 0 = screen, 1 = window."""
        (box,) = self._call(IFACE_COMPONENT, "GetExtents",
                            GLib.Variant("(u)", (coord_type,)), "((iiii))")
        return tuple(box)

    def grab_focus(self):
        (ok,) = self._call(IFACE_COMPONENT, "GrabFocus", None, "(b)")
        return ok

    # --- Table --------------------------------------------------------
    def n_rows(self):
        return self.prop(IFACE_TABLE, "NRows")

    def n_columns(self):
        return self.prop(IFACE_TABLE, "NColumns")

    def cell(self, row, column):
        """The cell at a 0-based row and column, or None."""
        (ref,) = self._call(IFACE_TABLE, "GetAccessibleAt",
                            GLib.Variant("(ii)", (row, column)), "((so))")
        return self._ref(ref)

    def column_header(self, column):
        (ref,) = self._call(IFACE_TABLE, "GetColumnHeader",
                            GLib.Variant("(i)", (column,)), "((so))")
        return self._ref(ref)

    def add_row_selection(self, row):
        (ok,) = self._call(IFACE_TABLE, "AddRowSelection",
                           GLib.Variant("(i)", (row,)), "(b)")
        return ok

    def is_row_selected(self, row):
        (ok,) = self._call(IFACE_TABLE, "IsRowSelected",
                           GLib.Variant("(i)", (row,)), "(b)")
        return ok

    def selected_rows(self):
        (rows,) = self._call(IFACE_TABLE, "GetSelectedRows", None, "(ai)")
        return list(rows)
