#include "actions/DeleteFolders.h"

#include "actions/AllesLoeschen.h"
#include "controls/RoListBox.h"
#include "platform/MsgBox.h"
#include "platform/WaitCursor.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace velmaro {

namespace {

using platform::kNo;
using platform::MsgBox;

const QChar kCr(u'\r');

// The zero-byte rows' folders as the scan saw them, in path order: a
// folder before the folders below it, so that each is checked before the
// pass has removed anything inside it.
std::vector<engine::ScannedFolder> zeroByteFolders(const RoListBox& list)
{
    std::vector<engine::ScannedFolder> folders;
    const qint64 count = list.RowCount();
    for (qint64 i = 1; i <= count; ++i) {
        if (list.ZeroByteAt(i)) {
            if (std::optional<engine::ScannedFolder> folder = list.ScannedFolderAt(i))
                folders.push_back(std::move(*folder));
        }
    }
    std::sort(folders.begin(), folders.end(),
              [](const engine::ScannedFolder& a, const engine::ScannedFolder& b) { return a.path < b.path; });
    return folders;
}

// Deletes one scanned folder for the main window: no question, no progress,
// no error box, not to the trash.
DeleteOutcome deleteQuietly(const engine::ScannedFolder& folder, QWidget* owner, engine::DeleteMode mode)
{
    DeleteRequest request;
    request.owner = owner;
    request.mode = mode;
    request.scanned = folder;
    return Ordner_löschen(request);
}

}  // namespace

void cmd_OrdnerDel_Click(const FolderActionTarget& target)
{
    RoListBox* list = target.list;
    const QString noFolders = QStringLiteral("Keine Ordner vorhanden.");
    if (list->RowCount() == 0) {
        MsgBox(noFolders, platform::kBoxInfo, QString(), target.owner);
        return;
    }
    const QString path = list->CellText(list->SelectedIndex(), 2);
    if (path.isEmpty()) {
        MsgBox(noFolders, platform::kBoxInfo, QString(), target.owner);
        return;
    }
    const QString question = QStringLiteral("Soll der Ordner \"") + path +
                             QStringLiteral("\" und deren Unterordner wirklich gelöscht werden?");
    if (MsgBox(question, platform::kBoxQuestionNoDefault, QStringLiteral("Ordner löschen"), target.owner) ==
        kNo)
        return;

    const std::optional<engine::ScannedFolder> folder = list->ScannedFolderAt(list->SelectedIndex());
    if (!folder)
        return;
    DeleteOutcome outcome;
    {
        platform::WaitCursorGuard hourglass;
        outcome = deleteQuietly(*folder, target.owner, engine::DeleteMode::Everything);
    }
    if (outcome.ok)
        target.folderDeleted(QByteArray::fromStdString(folder->path));
    const QString refresh = QStringLiteral("Übersicht aktualisieren?");
    int answer = 0;
    if (outcome.ok) {
        answer = MsgBox(QStringLiteral("Verzeichnis erfolgreich gelöscht.") + kCr + refresh,
                        platform::kBoxInfoYesNo, QString(), target.owner);
    } else {
        const QString report = QStringLiteral("Fehler ID ") + QString::number(outcome.errorNumber) + kCr +
                               outcome.errorText + kCr + kCr + refresh;
        answer = MsgBox(report, platform::kBoxStopYesNo, QString(), target.owner);
    }
    if (answer != kNo)
        target.rescan();
}

void cmd_OrdnerNull_Click(const FolderActionTarget& target)
{
    RoListBox* list = target.list;
    const std::vector<engine::ScannedFolder> folders = zeroByteFolders(*list);
    if (folders.empty()) {
        MsgBox(QStringLiteral("Es wurden keine 0 Byte Ordner gefunden."), platform::kBoxInfo,
               QStringLiteral("Hinweis"), target.owner);
        return;
    }
    const QString question =
        QStringLiteral("Es wurden ") + QString::number(folders.size()) +
        QStringLiteral(" Ordner mit 0 Byte gefunden, sollen diese jetzt gelöscht werden?");
    if (MsgBox(question, platform::kBoxQuestionNoDefault, QStringLiteral("Löschen"), target.owner) == kNo)
        return;
    {
        // The hourglass of the deletions; the scan that follows keeps its own.
        platform::WaitCursorGuard hourglass;
        target.clearCounts();
        for (const engine::ScannedFolder& folder : folders) {
            if (deleteQuietly(folder, target.owner, engine::DeleteMode::ZeroByteOnly).ok)
                target.folderDeleted(QByteArray::fromStdString(folder.path));
        }
    }
    target.rescan();
}

}  // namespace velmaro
