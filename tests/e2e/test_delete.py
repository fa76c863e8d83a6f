"""Journey: scan a fixture and read the folder list, delete a
selected folder and accept the refreshed overview, run the zero-byte pass;
the disk and the new counts after each step."""

import os

from velmaro_e2e import check, check_equal, kb_text, run_journey

FIXTURE = {
    "behalten": {"k.bin": 1536},
    "opfer": {"v.bin": 10, "unter": {"tiefer": {"d.bin": 5}}},
    "leer1": {},
    "leer2": {"innen": {}},
    "nullbytes": {"e.txt": 0},
    "winzig": {"t.bin": 3},       # shows "0" but holds bytes: kept
}


def check_scanned_rows(v, base):
    """Every folder of the first scan is listed, the root with its total.
    (Size texts, dates and names of single rows: the widget tests.)"""
    expected = ["", "behalten/", "opfer/", "opfer/unter/", "opfer/unter/tiefer/", "leer1/",
                "leer2/", "leer2/innen/", "nullbytes/", "winzig/"]
    rows = v.folder_list().rows_by(1)
    check_equal(sorted(rows), sorted(base + path for path in expected), "paths in the folder list")
    check_equal(rows[base][2], kb_text(1536 + 10 + 5 + 3), "size of the root")
    check_equal(v.label_text("LabelVerzeichnis", root=v.main_window()), base,
                "LabelVerzeichnis after the scan")


def delete_selected(v, base):
    victim = base + "opfer/"
    v.select_folder(victim)
    v.press(description="cmd_OrdnerDel", root=v.main_window())
    v.answer('Soll der Ordner "%s" und deren Unterordner wirklich gelöscht werden?' % victim,
             "Ja", title="Ordner löschen")
    v.answer("Verzeichnis erfolgreich gelöscht.\rÜbersicht aktualisieren?", "Ja",
             title="Velmaro")
    check(not os.path.exists(victim), "%s still on disk" % victim)
    table = v.wait_counts(7, 4)
    paths = set(table.rows_by(1))
    check(not any(p.startswith(victim) for p in paths),
          "the deleted folder is still listed")
    check_equal(table.rows_by(1)[base][2], kb_text(1536 + 3), "root size after the deletion")


def delete_zero_byte(v, base):
    v.press(description="cmd_OrdnerNull", root=v.main_window())
    v.answer("Es wurden 4 Ordner mit 0 Byte gefunden, sollen diese jetzt "
             "gelöscht werden?", "Ja", title="Löschen")
    table = v.wait_counts(3, 0)
    check_equal(sorted(table.rows_by(1)),
                sorted([base, base + "behalten/", base + "winzig/"]),
                "folders left after the zero-byte pass")
    for gone in ("leer1", "leer2", "nullbytes"):
        check(not os.path.exists(base + gone), "%s still on disk" % gone)
    check(os.path.getsize(base + "behalten/k.bin") == 1536, "behalten/k.bin lost")
    check(os.path.getsize(base + "winzig/t.bin") == 3, "winzig/t.bin lost")


def journey(v):
    base = v.scan_new_tree("Löschbaum", FIXTURE, 10, 4)
    check_scanned_rows(v, base)
    delete_selected(v, base)
    delete_zero_byte(v, base)
    v.exit_app()


if __name__ == "__main__":
    run_journey(journey)
