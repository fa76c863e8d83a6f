#pragma once
// Shared by the file view tests: its question texts, rows by name, and a
// standalone view whose opener and properties call record their paths.
#include "actions/FolderActionTarget.h"
#include "controls/RoCommand.h"
#include "fileview/FileListModel.h"
#include "fileview/FileListe.h"
#include "fileview/FrmDelFile.h"
#include "fileview/FileViewOpener.h"
#include "platform/FileOpener.h"
#include "platform/FormNames.h"
#include "platform/FormRegistry.h"
#include "support/TestSupport.h"

#include <QTimer>
#include <functional>
#include <memory>

namespace velmaro::test {
using namespace velmaro::testsupport;

inline const QString kAsk = QStringLiteral("Datei öffnen oder Informationen aufrufen?\rJa = Datei öffnen,\r"
                                           "Nein = Eigenschaften zeigen,\rAbbruch = Abbruch");
inline const QString kDelete = QStringLiteral("Markierten Datei(en) entgültig löschen?");
inline const QString kRefresh = QStringLiteral("Dateiumfang hat sich geändert.\rÜbersicht aktualisieren?");

// Name cells in display order.
inline QStringList rowNames(const FrmDelFile& view)
{
    QStringList out;
    for (int r = 0; r < view.listModel()->rowCount(); ++r)
        out << view.listModel()->cellText(r, 0);
    return out;
}

// Display row of a raw name, -1 when not listed.
inline int rowOf(const FrmDelFile& view, const QByteArray& raw)
{
    for (int r = 0; r < view.listModel()->rowCount(); ++r)
        if (view.listModel()->rowAt(r)->rawName == raw)
            return r;
    return -1;
}

// Clicks "Ordnerdateien zeigen" for `target`; runs `body` once the file view
// shows (inside its modal loop), then leaves with "Zurück" unless the body
// closed it. True when the view was shown.
inline bool openFileView(const FolderActionTarget& target, const std::function<void(FrmDelFile&)>& body = {})
{
    bool ran = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        FrmDelFile* view = platform::forms().find<FrmDelFile>(FormNames::frm_DelFile());
        if (!view || !view->isVisible())
            return;
        poll.stop();
        ran = true;
        if (body)
            body(*view);
        if (view->isVisible())
            view->cmd_Ende()->click();
    });
    poll.start();
    cmd_DelFile_Click(target);
    return ran;
}

// Makes folder `root` holding a 1-byte file per name.
inline void makeFolderWith(const QByteArray& root, std::initializer_list<const char*> names)
{
    makeDir(root);
    for (const char* n : names)
        makeFile(root + n, "1");
}

struct Recorder {
    QList<QByteArray> opened, inspected;
    int openResult = platform::FileOpener::Opened;

    std::unique_ptr<FrmDelFile> viewOn(const QByteArray& folder)
    {
        auto view = std::make_unique<FrmDelFile>();
        view->setOpener([this](const QByteArray& file, const QByteArray&) {
            opened << file;
            return openResult;
        });
        view->setPropertiesShower([this](QWidget*, const QByteArray& p) { inspected << p; });
        view->fileListe().setPath(folder);
        return view;
    }
};

}  // namespace velmaro::test
