"""Journey: open the file view from a scanned fixture, read its rows, ask
about a file and cancel, mark all, delete, return and accept the refreshed
overview; open the view by a double click."""

import os
import time

from velmaro_e2e import (check, check_equal,
                         run_journey, wait_until)

FILES = {"a.txt": 10, "b.txt": 2048, "c.txt": 1600, ".versteckt": 5}
FIXTURE = {"docs": dict(FILES), "andere": {"o.bin": 1}}
OPEN_QUESTION = ("Datei öffnen oder Informationen aufrufen?\rJa = Datei öffnen,\r"
                 "Nein = Eigenschaften zeigen,\rAbbruch = Abbruch")


def cancel_open_question(v, view):
    view.activate_row(0)
    box = v.alert()
    box.check(OPEN_QUESTION, "Velmaro")
    box.press("Abbrechen")


def mark_all_and_delete(v, window, view, folder):
    v.press(description="roCommand2", root=window)
    v.press(description="cmd_Löschen", root=window)
    v.answer("Markierten Datei(en) entgültig löschen?", "Ja", title="Velmaro")
    v.answer("Löschung erfolgreich.", "OK", timeout=20)
    wait_until(lambda: window.name() == "gefundene Files: 0", 5, "the caption to read 0 files")
    check_equal(view.row_count(), 0, "rows after deleting every file")
    check_equal(os.listdir(folder), [], "files left in %s" % folder)


def open_view(v, path, files):
    v.select_folder(path)
    v.press(description="cmd_DelFile", root=v.main_window())
    window = v.window(description="frm_DelFile")
    check_equal(window.name(), "gefundene Files: %d" % files, "file view caption")
    return window, v.table("ListView", root=window)


def file_view_round(v, base):
    folder = base + "docs/"
    window, view = open_view(v, folder, len(FILES))
    check_equal(sorted(view.rows_by(0)), sorted(FILES), "files in the view (hidden one included)")
    cancel_open_question(v, view)
    mark_all_and_delete(v, window, view, folder)
    v.press(description="cmd_Ende", root=window)
    v.answer("Dateiumfang hat sich geändert.\rÜbersicht aktualisieren?", "Ja",
             title="Velmaro")
    table = v.wait_counts(3, 1)
    check_equal(table.rows_by(1)[folder][2], "0", "size of the emptied folder")


def double_click_round(v, base):
    """The row event opens the view; returning unchanged asks nothing."""
    table, row = v.select_folder(base + "andere/")
    table.activate_row(row)
    window = v.window(description="frm_DelFile")
    check_equal(window.name(), "gefundene Files: 1", "caption for andere/")
    v.press(description="cmd_Ende", root=window)
    v.no_window(description="frm_DelFile")
    time.sleep(0.7)
    check(not [w for w in v.windows() if w.role_name() in ("alert", "alert message")],
          "a question came although no file changed")


def journey(v):
    base = v.scan_new_tree("Ansicht", FIXTURE, 3, 0)
    file_view_round(v, base)
    double_click_round(v, base)
    v.exit_app()


if __name__ == "__main__":
    run_journey(journey)
