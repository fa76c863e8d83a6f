"""Journey: scan a fixture, refuse and then confirm the deletion of a
selected folder, accept the refreshed overview, run the zero-byte pass,
and check the disk and the new counts after each step."""

import os
import time

from velmaro_e2e import (check, check_equal, kb_text,
                         run_journey)

FIXTURE = {
    "behalten": {"k.bin": 2048},
    "opfer": {"v.bin": 10, "unter": {"tiefer": {"d.bin": 5}}},
    "leer1": {},
    "leer2": {"innen": {}},
    "nullbytes": {"e.txt": 0},
    "winzig": {"t.bin": 3},       # shows "0" but holds bytes: kept
}


def select_folder(v, path):
    table = v.folder_list()
    row = table.find_row(1, path)
    check(row is not None, "no row for %s" % path)
    table.select_row(row)


def no_message_box(v, seconds=0.7):
    time.sleep(seconds)
    boxes = [w for w in v.windows() if w.role_name() in ("alert", "alert message")]
    check(not boxes, "unexpected message box: %r" % boxes)


def delete_selected(v, base):
    victim = base + "opfer/"
    question = ('Soll der Ordner "%s" und deren Unterordner wirklich gelöscht werden?'
                % victim)
    # No: nothing happens.
    select_folder(v, victim)
    v.press(description="cmd_OrdnerDel", root=v.main_window())
    box = v.alert()
    box.check(question, "Ordner löschen")
    check_equal(box.default_button(), "Nein", "default button of the question")
    box.press("Nein")
    no_message_box(v)
    check(os.path.isdir(victim), "the folder went although the answer was No")
    # Yes: deleted, then the refresh is offered and accepted.
    select_folder(v, victim)
    v.press(description="cmd_OrdnerDel", root=v.main_window())
    v.answer(question, "Ja", title="Ordner löschen")
    v.answer("Verzeichnis erfolgreich gelöscht.\rÜbersicht aktualisieren?", "Ja",
             title="Velmaro")
    check(not os.path.exists(victim), "%s still on disk" % victim)
    table = v.wait_counts(7, 4)
    paths = set(table.rows_by(1))
    check(not any(p.startswith(victim) for p in paths),
          "the deleted folder is still listed")
    check_equal(table.rows_by(1)[base][2], kb_text(2048 + 3), "root size after the deletion")


def delete_zero_byte(v, base):
    v.press(description="cmd_OrdnerNull", root=v.main_window())
    box = v.alert()
    box.check("Es wurden 4 Ordner mit 0 Byte gefunden, sollen diese jetzt "
              "gelöscht werden?", "Löschen")
    check_equal(box.default_button(), "Nein", "default button of the question")
    box.press("Ja")
    table = v.wait_counts(3, 0)
    check_equal(sorted(table.rows_by(1)),
                sorted([base, base + "behalten/", base + "winzig/"]),
                "folders left after the zero-byte pass")
    for gone in ("leer1", "leer2", "nullbytes"):
        check(not os.path.exists(base + gone), "%s still on disk" % gone)
    check(os.path.getsize(base + "behalten/k.bin") == 2048, "behalten/k.bin lost")
    check(os.path.getsize(base + "winzig/t.bin") == 3, "winzig/t.bin lost")
    # Nothing left to clean.
    v.press(description="cmd_OrdnerNull", root=v.main_window())
    v.answer("Es wurden keine 0 Byte Ordner gefunden.", "OK", title="Hinweis")


def journey(v):
    base = v.scan_new_tree("Löschbaum", FIXTURE, 10, 4)
    delete_selected(v, base)
    delete_zero_byte(v, base)
    v.exit_app()


if __name__ == "__main__":
    run_journey(journey)
