#include "actions/DeleteFolders.h"

#include "actions/AllesLoeschen.h"
#include "app/MainWindow.h"
#include "app/controls/RoListBox.h"
#include "platform/MsgBox.h"
#include "platform/WaitCursor.h"
#include "scan/ScanStarter.h"

#include <QLabel>
#include <QList>

namespace velmaro {

namespace {

using platform::MsgBox;

constexpr int kNo = 7;
const QChar kCr(u'\r');
const QByteArray kAllEntries = QByteArrayLiteral("*.*");

// Raw paths of the zero-byte rows, in list order.
QList<QByteArray> zeroByteFolders(const RoListBox& list) {
    QList<QByteArray> folders;
    const qint64 count = list.RowCount();
    for (qint64 i = 1; i <= count; ++i) {
        if (list.ZeroByteAt(i))
            folders.append(list.RawPathAt(i));
    }
    return folders;
}

// Deletes one folder tree for the main window: no question, no progress,
// no error box, not to the trash.
bool deleteTreeQuietly(const QByteArray& rawFolder, MainWindow& window, engine::DeleteMode mode) {
    return Ordner_löschen(rawFolder + kAllEntries, &window, false, false, false, false, false, mode);
}

}  // namespace

void cmd_OrdnerDel_Click(MainWindow& window) {
    RoListBox* list = window.roListBox_Ordner();
    const QString noFolders = QStringLiteral("Keine Ordner vorhanden.");
    if (list->RowCount() == 0) {
        MsgBox(noFolders, 64, QString(), &window);
        return;
    }
    const QString path = list->CellText(list->SelectedIndex(), 2);
    if (path.isEmpty()) {
        MsgBox(noFolders, 64, QString(), &window);
        return;
    }
    const QString question = QStringLiteral("Soll der Ordner \"") + path
        + QStringLiteral("\" und deren Unterordner wirklich gelöscht werden?");
    if (MsgBox(question, 292, QStringLiteral("Ordner löschen"), &window) == kNo)
        return;

    const auto row = list->RowAt(list->SelectedIndex());
    if (!row)
        return;
    const QByteArray rawFolder = row->rawPath;
    bool ok = false;
    {
        platform::WaitCursorGuard hourglass;
        ok = deleteTreeQuietly(rawFolder, window, engine::DeleteMode::Everything);
    }
    const QString refresh = QStringLiteral("Übersicht aktualisieren?");
    int answer = 0;
    if (ok) {
        answer = MsgBox(QStringLiteral("Verzeichnis erfolgreich gelöscht.") + kCr + refresh, 68, QString(),
                        &window);
    } else {
        const QString report = QStringLiteral("Fehler ID ") + QString::number(lastErrorNumber()) + kCr
            + lastErrorText() + kCr + kCr + refresh;
        answer = MsgBox(report, 20, QString(), &window);
    }
    if (answer != kNo)
        Scan_starten();
}

void cmd_OrdnerNull_Click(MainWindow& window) {
    RoListBox* list = window.roListBox_Ordner();
    const QList<QByteArray> folders = zeroByteFolders(*list);
    if (folders.isEmpty()) {
        MsgBox(QStringLiteral("Es wurden keine 0 Byte Ordner gefunden."), 64, QStringLiteral("Hinweis"),
               &window);
        return;
    }
    const QString question = QStringLiteral("Es wurden ") + QString::number(folders.size())
        + QStringLiteral(" Ordner mit 0 Byte gefunden, sollen diese jetzt gelöscht werden?");
    if (MsgBox(question, 292, QStringLiteral("Löschen"), &window) == kNo)
        return;
    {
        // The hourglass of the deletions; the scan that follows keeps its own.
        platform::WaitCursorGuard hourglass;
        window.Label_Info(0)->clear();
        window.Label_Info(1)->clear();
        for (const QByteArray& folder : folders)
            deleteTreeQuietly(folder, window, engine::DeleteMode::ZeroByteOnly);
    }
    Scan_starten();
}

}  // namespace velmaro
