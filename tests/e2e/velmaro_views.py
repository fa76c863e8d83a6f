"""Views on parts of the program's accessible tree: message boxes, item
tables (through the Table interface only) and a dump of the tree."""

from gi.repository import GLib

from atspi_client import ITEM_CONTAINERS
from desktop_stack import wait_until
from e2e_checks import check, check_equal, norm_lines


def is_showing(node):
    """False once the object is hidden or gone from the bus."""
    try:
        return node.has_state("showing")
    except GLib.Error:
        return False


class Alert:
    """A message box: role alert, name = title, text in label children."""

    def __init__(self, session, node):
        self.session = session
        self.node = node

    def title(self):
        return self.node.name()

    def texts(self):
        """Every non-empty label text of the box, line breaks normalised."""
        labels = self.session.find_all(self.node, role="label")
        return [norm_lines(label.name()) for label in labels if label.name()]

    def text(self):
        return "\n".join(self.texts())

    def buttons(self):
        return self.session.find_all(self.node, role="push button")

    def button_names(self):
        return [button.name() for button in self.buttons()]

    def default_button(self):
        for button in self.buttons():
            if button.has_state("is-default"):
                return button.name()
        return None

    def check(self, expected_text, title=None):
        if title is not None:
            check_equal(self.title(), title, "message box title")
        check_equal(self.text(), norm_lines(expected_text), "message box text")

    def press(self, name):
        """Presses the named button and waits until the box has closed."""
        matches = [b for b in self.buttons() if b.name() == name]
        check(matches, "message box %r has no button %r (has %r)"
              % (self.title(), name, self.button_names()))
        check(matches[0].do_action(0), "press of %r refused" % name)
        title = self.title()
        wait_until(lambda: not is_showing(self.node), 10,
                   "message box %r to close" % title)


class TableView:
    """An item view (folder list, file list) read through the Table
    interface: row count and cells in constant time, never its children."""

    def __init__(self, session, node):
        self.session = session
        self.node = node

    def row_count(self):
        return self.node.n_rows()

    def column_count(self):
        return self.node.n_columns()

    def cell(self, row, column):
        """The cell accessible at 0-based row and column."""
        cell = self.node.cell(row, column)
        check(cell is not None, "no cell at row %d, column %d" % (row, column))
        return cell

    def cell_text(self, row, column):
        return self.cell(row, column).name()

    def row(self, row):
        return [self.cell_text(row, c) for c in range(self.column_count())]

    def rows(self):
        return [self.row(r) for r in range(self.row_count())]

    def find_row(self, column, text):
        """0-based index of the first row whose cell in column reads text."""
        for r in range(self.row_count()):
            if self.cell_text(r, column) == text:
                return r
        return None

    def rows_by(self, column):
        """Rows keyed by the text of one column."""
        return {row[column]: row for row in self.rows()}

    def visible_point(self, row):
        """A point inside the row's first cell and inside the view, or None
        when the row is scrolled out of sight."""
        x, y, w, h = self.cell(row, 0).extents()
        vx, vy, vw, vh = self.node.extents()
        left, top = max(x, vx), max(y, vy)
        right, bottom = min(x + w, vx + vw), min(y + h, vy + vh)
        if right - left < 4 or bottom - top < 4:
            return None
        return ((left + right) // 2, (top + bottom) // 2)

    def select_row(self, row):
        """Selects a row as a user does: a click on its first cell; through
        the Table interface when the row is out of sight."""
        point = self.visible_point(row)
        if point is not None:
            self.session.click(*point)
        else:
            self.node.add_row_selection(row)
        wait_until(lambda: self.node.is_row_selected(row), 5,
                   "row %d to be selected" % row)

    def activate_row(self, row):
        """Double-clicks a row; a row out of sight is selected and
        activated with Enter instead."""
        point = self.visible_point(row)
        if point is not None:
            self.session.click(*point, double=True)
            return
        self.select_row(row)
        self.node.grab_focus()
        wait_until(lambda: self.node.has_state("focused"), 5, "focus on the list")
        self.session.xdotool("key", "Return")


def dump_tree(session, out, max_depth=12):
    """Writes the program's accessible tree: role, name, description,
    states; tables show their size and first rows only."""
    def write(node, depth):
        states = ",".join(sorted(node.states() & {
            "showing", "visible", "enabled", "focused", "checked",
            "selected", "is-default", "modal"}))
        out.write("%s%s %r desc=%r [%s]\n" % ("  " * depth, node.role_name(),
                                             node.name(), node.description(),
                                             states))
        if depth >= max_depth:
            return
        if node.role_name() in ITEM_CONTAINERS:
            _write_table_summary(node, depth + 1, out)
            return
        for child in node.children():
            write(child, depth + 1)
    write(session.app, 0)


def _write_table_summary(node, depth, out):
    pad = "  " * depth
    try:
        rows, columns = node.n_rows(), node.n_columns()
    except Exception as error:  # noqa: BLE001 - not every list is a table
        out.write("%s(no table interface: %s)\n" % (pad, error))
        return
    out.write("%s%d rows x %d columns\n" % (pad, rows, columns))
    for r in range(min(rows, 20)):
        cells = []
        for c in range(columns):
            cell = node.cell(r, c)
            cells.append(cell.name() if cell is not None else None)
        out.write("%s%r\n" % (pad, cells))
