#pragma once
// Helpers shared by the file view's widget tests: files in temporary
// folders, and a standalone view whose opener and properties call record
// what they were asked instead of leaving the program.

#include "fileview/FileListModel.h"
#include "fileview/FileListe.h"
#include "fileview/FrmDelFile.h"
#include "platform/FileOpener.h"
#include "platform/MsgBox.h"

#include <QDateTime>
#include <QStringList>
#include <QtTest>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmaro::test {

inline const QString kAsk = QStringLiteral(
    "Datei öffnen oder Informationen aufrufen?\rJa = Datei öffnen,\r"
    "Nein = Eigenschaften zeigen,\rAbbruch = Abbruch");
inline const QString kDelete = QStringLiteral("Markierten Datei(en) entgültig löschen?");
inline const QString kRefresh =
    QStringLiteral("Dateiumfang hat sich geändert.\rÜbersicht aktualisieren?");

inline void makeDir(const QByteArray& raw)
{
    QVERIFY2(::mkdir(raw.constData(), 0755) == 0, raw.constData());
}

// A file of `bytes` bytes (sparse: large sizes cost no disk space).
inline void writeFile(const QByteArray& raw, qint64 bytes)
{
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, raw.constData());
    QVERIFY(::ftruncate(fd, bytes) == 0);
    ::close(fd);
}

inline void setChanged(const QByteArray& raw, const QDateTime& local)
{
    const timespec times[2] = {{local.toSecsSinceEpoch(), 0}, {local.toSecsSinceEpoch(), 0}};
    QVERIFY(::utimensat(AT_FDCWD, raw.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

inline bool exists(const QByteArray& raw)
{
    struct stat st;
    return ::lstat(raw.constData(), &st) == 0;
}

inline QStringList prompts(const platform::MsgBoxScript& boxes)
{
    QStringList out;
    for (const platform::MsgBoxCall& c : boxes.calls())
        out << c.prompt;
    return out;
}

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

// Records the opener's and the properties call's paths.
struct Recorder {
    QList<QByteArray> opened;
    QList<QByteArray> inspected;
    int openResult = platform::FileOpener::Opened;

    void attach(FrmDelFile& view)
    {
        view.setOpener([this](const QByteArray& file, const QByteArray&) {
            opened << file;
            return openResult;
        });
        view.setPropertiesShower([this](QWidget*, const QByteArray& p) { inspected << p; });
    }
    std::unique_ptr<FrmDelFile> viewOn(const QByteArray& folder)
    {
        auto view = std::make_unique<FrmDelFile>();
        attach(*view);
        view->fileListe().setPath(folder);
        return view;
    }
};

}  // namespace velmaro::test
