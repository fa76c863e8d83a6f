#include "support/TestSupport.h"

#include "actions/PropertiesWindow.h"

#include "engine/SafeDelete.h"
#include "folderlist/FolderListModel.h"
#include "rows/FolderRowBuilder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace velmaro::testsupport {

std::map<QString, TestFactory>& testClasses()
{
    static std::map<QString, TestFactory> classes;
    return classes;
}

bool registerTestClass(const char* name, TestFactory make)
{
    testClasses()[QString::fromLatin1(name)] = std::move(make);
    return true;
}

namespace {
QByteArray privateBase;  // set by usePrivateHome
}

void usePrivateHome(const QString& base)
{
    privateBase = QFile::encodeName(base);
    qputenv("HOME", QFile::encodeName(base + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(base + QStringLiteral("/home/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(base + QStringLiteral("/home/.local/share")));
    QDir().mkpath(base + QStringLiteral("/home/.config"));
    QDir().mkpath(base + QStringLiteral("/home/.local/share"));
}

QByteArray scratchFolder()
{
    static int count = 0;
    if (privateBase.isEmpty())
        qFatal("scratchFolder() before usePrivateHome()");
    const QByteArray folder = privateBase + "/scratch" + QByteArray::number(++count) + "/";
    makeDir(folder);
    return folder;
}

void removeTree(const QString& path)
{
    engine::deleteTree(QFile::encodeName(path).toStdString());
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool exists(const QByteArray& raw)
{
    struct stat st {};
    return ::lstat(raw.constData(), &st) == 0;
}

void makeDir(const QByteArray& raw)
{
    QVERIFY2(::mkdir(raw.constData(), 0755) == 0, raw.constData());
}

void makeFile(const QByteArray& raw, const QByteArray& content)
{
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, raw.constData());
    const ssize_t written = ::write(fd, content.constData(), size_t(content.size()));
    ::close(fd);
    QCOMPARE(written, ssize_t(content.size()));
}

void makeSparse(const QByteArray& raw, qint64 bytes)
{
    makeFile(raw);
    QVERIFY(::truncate(raw.constData(), bytes) == 0);
}

void setChanged(const QByteArray& raw, const QDateTime& local)
{
    const timespec times[2] = {{local.toSecsSinceEpoch(), 0}, {local.toSecsSinceEpoch(), 0}};
    QVERIFY(::utimensat(AT_FDCWD, raw.constData(), times, AT_SYMLINK_NOFOLLOW) == 0);
}

QString box(int style, const QString& title, const QString& prompt)
{
    return QString::number(style) + QLatin1Char('|') + title + QLatin1Char('|') + prompt;
}

QStringList boxes(const platform::MsgBoxScript& script)
{
    QStringList out;
    for (const platform::MsgBoxCall& c : script.calls())
        out << box(c.style, c.title, c.prompt);
    return out;
}

QStringList prompts(const platform::MsgBoxScript& script)
{
    QStringList out;
    for (const platform::MsgBoxCall& c : script.calls())
        out << c.prompt;
    return out;
}

FolderRow folderRow(const QByteArray& raw, const QString& sizeText, bool zeroByte, quint64 bytes)
{
    FolderRow row;
    row.rawPath = raw;
    row.path = QFile::decodeName(raw);
    const QByteArray name = raw.chopped(1);
    row.name = QFile::decodeName(name.mid(name.lastIndexOf('/') + 1));
    row.sizeText = sizeText;
    row.zeroByte = zeroByte;
    row.bytes = bytes;
    struct statx st {};
    if (::statx(AT_FDCWD, raw.constData(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_MNT_ID, &st) == 0) {
        row.id.dev = makedev(st.stx_dev_major, st.stx_dev_minor);
        row.id.ino = st.stx_ino;
        row.id.hasMountId = (st.stx_mask & STATX_MNT_ID) != 0;
        row.id.mountId = row.id.hasMountId ? st.stx_mnt_id : 0;
    }
    return row;
}

QList<PropertiesWindow*> propertyWindows()
{
    QList<PropertiesWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<PropertiesWindow*>(widget); window && window->isVisible())
            windows << window;
    return windows;
}

void appendRows(FolderListModel& model, std::vector<FolderRow> rows)
{
    const FolderRowBuilder texts;
    RowBatch batch;
    batch.firstSlot = model.nextSlot();
    for (const FolderRow& row : rows) {
        QByteArray path = row.rawPath;
        if (!path.endsWith('/'))
            path += '/';
        RowBatch::Fill fill;
        fill.slot = batch.addSlot(FolderSlot::kNoParent, path.constData(), std::size_t(path.size()));
        fill.bytes = row.bytes;
        fill.createdMs = row.createdMs;
        fill.accessedMs = row.accessedMs;
        fill.id = row.id;
        fill.sizeKnown = row.sizeKnown;
        if (!row.sizeKnown || row.sizeText != texts.sizeText(row.bytes))
            fill.sizeText = batch.sizeTextNumber(row.sizeText);
        fill.zeroByte = row.zeroByte;
        fill.root = row.isRoot;
        batch.rows.push_back(fill);
    }
    model.append(batch);
}

}  // namespace velmaro::testsupport
