#include "fileview/FileViewOpener.h"

#include "actions/FolderActionTarget.h"
#include "controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "fileview/FileListe.h"
#include "fileview/FrmDelFile.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/FormNames.h"

#include <cerrno>
#include <optional>
#include <QPointer>

namespace velmaro {

using platform::forms;
using platform::MsgBox;

namespace {

const QString kForm = FormNames::frm_DelFile();

// Points the view's file list at the folder the scan listed in the
// selected row; false (after telling the user and hiding the view) when
// that folder cannot be opened or is no longer the one the scan saw.
bool setFolder(FrmDelFile& view, const std::optional<engine::ScannedFolder>& folder)
{
    view.fileListe().setPattern(QStringLiteral("*.*"));
    const int err = folder ? view.fileListe().setFolder(*folder) : ENOENT;
    if (err == 0)
        return true;
    MsgBox(QString::fromStdString(engine::errorFromErrno(err).text), platform::kBoxOk);
    forms().hide(kForm);
    return false;
}

}  // namespace

void cmd_DelFile_Click(const FolderActionTarget& target)
{
    const RoListBox& list = *target.list;
    const qint64 selected = list.SelectedIndex();
    const QString shown = list.CellText(selected, 2);
    if (shown.isEmpty() || list.RowCount() == 0) {
        MsgBox(QStringLiteral("Kein Verzeichnis angegeben."), platform::kBoxOk);
        return;
    }
    QPointer<FrmDelFile> view = forms().load<FrmDelFile>(kForm);
    if (!view || !setFolder(*view, list.ScannedFolderAt(selected)))
        return;
    view->FileListe_PathChange();
    const qint64 before = view->fileListe().count();
    if (before == 0) {
        forms().hide(kForm);
        MsgBox(QStringLiteral("Keine Files im Verzeichnis \"") + shown + QStringLiteral("\" gefunden."),
               platform::kBoxInfo);
        return;
    }
    forms().showModal(kForm);
    if (!view || view->fileListe().count() == before)
        return;
    if (MsgBox(QStringLiteral("Dateiumfang hat sich geändert.\rÜbersicht aktualisieren?"),
               platform::kBoxInfoYesNo) == platform::kYes)
        target.rescan();
}

}  // namespace velmaro
