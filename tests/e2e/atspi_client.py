"""A small AT-SPI client over plain Gio D-Bus calls.

libatspi (and pyatspi/dogtail on top of it) cannot be initialised twice in
one process and wants a desktop session's settings; talking D-Bus directly
avoids both. Only what the journeys need is here: the accessible tree
(children, role, name, description, states), actions, component extents
and the Table interface.
"""

from gi.repository import Gio, GLib

REGISTRY = "org.a11y.atspi.Registry"
ROOT_PATH = "/org/a11y/atspi/accessible/root"
NULL_PATH = "/org/a11y/atspi/null"

IFACE_ACCESSIBLE = "org.a11y.atspi.Accessible"
IFACE_ACTION = "org.a11y.atspi.Action"
IFACE_COMPONENT = "org.a11y.atspi.Component"
IFACE_TABLE = "org.a11y.atspi.Table"
IFACE_PROPS = "org.freedesktop.DBus.Properties"

CALL_TIMEOUT_MS = 5000

# AtspiStateType names by value (at-spi2-core, atspi-constants.h).
STATE_NAMES = (
    "invalid active armed busy checked collapsed defunct editable enabled "
    "expandable expanded focusable focused has-tooltip horizontal iconified "
    "modal multi-line multiselectable opaque pressed resizable selectable "
    "selected sensitive showing single-line stale transient vertical visible "
    "manages-descendants indeterminate required truncated animated "
    "invalid-entry supports-autocompletion selectable-text is-default visited "
    "checkable has-popup read-only").split()

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
        return Accessible(self, REGISTRY, ROOT_PATH).children()


class Accessible:
    """One accessible object, addressed by (bus name, object path)."""

    def __init__(self, bus, bus_name, path):
        self.bus = bus
        self.bus_name = bus_name
        self.path = path

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

    def children(self):
        (refs,) = self._call(IFACE_ACCESSIBLE, "GetChildren", None, "(a(so))")
        return [a for a in (self._ref(r) for r in refs) if a is not None]

    def role_name(self):
        (role,) = self._call(IFACE_ACCESSIBLE, "GetRoleName", None, "(s)")
        return role

    def states(self):
        """The set of state names."""
        (words,) = self._call(IFACE_ACCESSIBLE, "GetState", None, "(au)")
        names = set()
        for index, word in enumerate(words):
            for bit in range(32):
                if word & (1 << bit):
                    number = index * 32 + bit
                    names.add(STATE_NAMES[number] if number < len(STATE_NAMES)
                              else "state-%d" % number)
        return names

    def has_state(self, state):
        return state in self.states()

    # --- Action -------------------------------------------------------
    def do_action(self, index=0):
        (ok,) = self._call(IFACE_ACTION, "DoAction",
                           GLib.Variant("(i)", (index,)), "(b)")
        return ok

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

    def add_row_selection(self, row):
        (ok,) = self._call(IFACE_TABLE, "AddRowSelection",
                           GLib.Variant("(i)", (row,)), "(b)")
        return ok

    def is_row_selected(self, row):
        (ok,) = self._call(IFACE_TABLE, "IsRowSelected",
                           GLib.Variant("(i)", (row,)), "(b)")
        return ok
