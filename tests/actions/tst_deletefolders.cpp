// The two delete buttons of the main window, with scripted answers, on a
// real temporary tree; the refresh runs the real scan.

#include "actions/DeleteFolders.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/controls/RoListBox.h"
#include "engine/ErrorText.h"
#include "engine/SafeDelete.h"
#include "platform/FormRegistry.h"
#include "platform/MsgBox.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmaro;
using platform::MsgBoxScript;

namespace {

const QChar kCr(u'\r');

bool exists(const QByteArray& raw) {
    struct stat st {};
    return ::lstat(raw.constData(), &st) == 0;
}

void makeDir(const QByteArray& raw) { QVERIFY2(::mkdir(raw.constData(), 0755) == 0, raw.constData()); }

void makeFile(const QByteArray& raw, const QByteArray& content) {
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, raw.constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), ssize_t(content.size()));
    ::close(fd);
}

FolderRow rowFor(const QByteArray& raw, const QString& sizeText, bool zeroByte, quint64 bytes = 0) {
    FolderRow row;
    row.rawPath = raw;
    row.path = QFile::decodeName(raw);
    QByteArray name = raw.chopped(1);
    row.name = QFile::decodeName(name.mid(name.lastIndexOf('/') + 1));
    row.sizeText = sizeText;
    row.zeroByte = zeroByte;
    row.bytes = bytes;
    return row;
}

}  // namespace

class TstDeleteFolders : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    QByteArray root_;
    QPointer<MainWindow> window_;
    int caseNo_ = 0;

    RoListBox* list() const { return window_->roListBox_Ordner(); }
    QByteArray at(const char* relative) const { return root_ + relative; }

    // root/: big/a/x.txt (10 bytes), zero1/, zero2/sub/, three/x (3 bytes)
    void buildTree() {
        makeDir(at("big/"));
        makeDir(at("big/a/"));
        makeFile(at("big/a/x.txt"), "0123456789");
        makeDir(at("zero1/"));
        makeDir(at("zero2/"));
        makeDir(at("zero2/sub/"));
        makeDir(at("three/"));
        makeFile(at("three/x"), "abc");
    }
    // The rows a scan would show, in list order.
    void fillRows() {
        list()->AddRow(rowFor(root_, QStringLiteral("0,01"), false, 13));
        list()->AddRow(rowFor(at("big/"), QStringLiteral("0,01"), false, 10));
        list()->AddRow(rowFor(at("big/a/"), QStringLiteral("0,01"), false, 10));
        list()->AddRow(rowFor(at("three/"), QStringLiteral("0"), false, 3));
        list()->AddRow(rowFor(at("zero1/"), QStringLiteral("0"), true));
        list()->AddRow(rowFor(at("zero2/"), QStringLiteral("0"), true));
        list()->AddRow(rowFor(at("zero2/sub/"), QStringLiteral("0"), true));
    }
    qint64 rowOf(const QByteArray& raw) const {
        for (qint64 i = 1; i <= list()->RowCount(); ++i)
            if (list()->RowAt(i)->rawPath == raw)
                return i;
        return 0;
    }
    QList<QByteArray> listedPaths() const {
        QList<QByteArray> paths;
        for (qint64 i = 1; i <= list()->RowCount(); ++i)
            paths << list()->RowAt(i)->rawPath;
        std::sort(paths.begin(), paths.end());
        return paths;
    }

private slots:
    void initTestCase() {
        QVERIFY(temp_.isValid());
        const QByteArray base = QFile::encodeName(temp_.path());
        qputenv("HOME", base + "/home");
        qputenv("XDG_CONFIG_HOME", base + "/home/.config");
        qputenv("XDG_DATA_HOME", base + "/home/.local/share");
        QVERIFY(QDir().mkpath(temp_.path() + "/home"));
        registerForms();
    }

    void cleanupTestCase() {
        // Names that do not decode are beyond QTemporaryDir's clean-up.
        engine::deleteTree(QFile::encodeName(temp_.path()).toStdString());
    }

    void init() {
        root_ = QFile::encodeName(temp_.path()) + "/case" + QByteArray::number(++caseNo_) + "/";
        makeDir(root_);
        buildTree();
        window_ = platform::forms().load<MainWindow>(QStringLiteral("Velmaro"));
        QVERIFY(window_);
        window_->show();
        window_->setScanRoot(root_);
        list()->ClearRows();
        fillRows();
    }

    void cleanup() {
        platform::Alle_Fenster_schliessen();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(platform::WaitCursor::depth(), 0);
    }

    void noRowsOrNoSelectionSayNoFolders() {
        MsgBoxScript script;
        list()->SelectRow(0);
        cmd_OrdnerDel_Click(*window_);
        list()->ClearRows();
        cmd_OrdnerDel_Click(*window_);
        QCOMPARE(script.calls().size(), 2);
        for (const platform::MsgBoxCall& call : script.calls()) {
            QCOMPARE(call.prompt, QStringLiteral("Keine Ordner vorhanden."));
            QCOMPARE(call.style, 64);
            QCOMPARE(call.title, QString());
        }
        QVERIFY(exists(at("big/a/x.txt")));
    }

    void answerNoDeletesNothing() {
        MsgBoxScript script;
        script.answer(7);
        list()->SelectRow(rowOf(at("big/")));
        cmd_OrdnerDel_Click(*window_);
        QCOMPARE(script.calls().size(), 1);
        const platform::MsgBoxCall& ask = script.calls().at(0);
        QCOMPARE(ask.prompt, QStringLiteral("Soll der Ordner \"") + QFile::decodeName(at("big/"))
                                 + QStringLiteral("\" und deren Unterordner wirklich gelöscht werden?"));
        QCOMPARE(ask.style, 292);
        QCOMPARE(ask.title, QStringLiteral("Ordner löschen"));
        QVERIFY(exists(at("big/a/x.txt")));
    }

    void successWithoutRefreshKeepsTheList() {
        MsgBoxScript script;
        script.answer(6);
        script.answer(7);
        list()->SelectRow(rowOf(at("big/")));
        const qint64 rows = list()->RowCount();
        cmd_OrdnerDel_Click(*window_);
        QVERIFY(!exists(at("big/")));
        QVERIFY(exists(at("three/x")));
        QCOMPARE(script.calls().size(), 2);
        QCOMPARE(script.calls().at(1).prompt,
                 QStringLiteral("Verzeichnis erfolgreich gelöscht.") + kCr + QStringLiteral("Übersicht aktualisieren?"));
        QCOMPARE(script.calls().at(1).style, 68);
        QCOMPARE(script.calls().at(1).title, QString());
        QCOMPARE(list()->RowCount(), rows);
        QVERIFY(rowOf(at("big/")) > 0);
    }

    void successWithRefreshRescansTheSameRoot() {
        MsgBoxScript script;
        script.answer(6);
        script.answer(6);
        list()->SelectRow(rowOf(at("big/")));
        const QString label = window_->LabelVerzeichnis()->text();
        cmd_OrdnerDel_Click(*window_);
        QVERIFY(!exists(at("big/")));
        QCOMPARE(window_->LabelVerzeichnis()->text(), label);
        const QList<QByteArray> expected{root_, at("three/"), at("zero1/"), at("zero2/"), at("zero2/sub/")};
        QCOMPARE(listedPaths(), expected);
    }

    void failureReportsTheRemovalError() {
        MsgBoxScript script;
        script.answer(6);
        script.answer(7);
        list()->AddRow(rowFor(at("gone/"), QStringLiteral("0"), true));
        list()->SelectRow(rowOf(at("gone/")));
        cmd_OrdnerDel_Click(*window_);
        QCOMPARE(script.calls().size(), 2);
        const engine::ErrorInfo info = engine::errorFromErrno(ENOENT);
        QCOMPARE(script.calls().at(1).prompt,
                 QStringLiteral("Fehler ID ") + QString::number(info.number) + kCr + QString::fromStdString(info.text)
                     + kCr + kCr + QStringLiteral("Übersicht aktualisieren?"));
        QCOMPARE(script.calls().at(1).style, 20);
        QCOMPARE(script.calls().at(1).title, QString());
        QVERIFY(rowOf(at("gone/")) > 0);  // No: no refresh
    }

    void deletesByTheRawPathNotTheShownText() {
        const QByteArray odd = at("n\xff\nx/");
        makeDir(odd);
        makeFile(odd + "f", "1");
        FolderRow row = rowFor(odd, QStringLiteral("0,00"), false, 1);
        QVERIFY(row.path != QString::fromLatin1(odd));
        list()->AddRow(row);
        list()->SelectRow(rowOf(odd));
        MsgBoxScript script;
        script.answer(6);
        script.answer(7);
        cmd_OrdnerDel_Click(*window_);
        QVERIFY(script.calls().at(0).prompt.contains(row.path));
        QVERIFY(!exists(odd));
        QVERIFY(exists(at("three/x")));
    }

    void zeroPassWithoutZeroRowsSaysSo() {
        MsgBoxScript script;
        list()->ClearRows();
        // "0" as size text alone does not make a zero-byte row (3 bytes show "0").
        list()->AddRow(rowFor(at("three/"), QStringLiteral("0"), false, 3));
        cmd_OrdnerNull_Click(*window_);
        list()->ClearRows();
        cmd_OrdnerNull_Click(*window_);
        QCOMPARE(script.calls().size(), 2);
        for (const platform::MsgBoxCall& call : script.calls()) {
            QCOMPARE(call.prompt, QStringLiteral("Es wurden keine 0 Byte Ordner gefunden."));
            QCOMPARE(call.style, 64);
            QCOMPARE(call.title, QStringLiteral("Hinweis"));
        }
        QVERIFY(exists(at("three/x")));
    }

    void zeroPassAnswerNoDeletesNothing() {
        MsgBoxScript script;
        script.answer(7);
        window_->Label_Info(0)->setText(QStringLiteral("7 Ordner gefunden "));
        cmd_OrdnerNull_Click(*window_);
        QCOMPARE(script.calls().size(), 1);
        QCOMPARE(script.calls().at(0).prompt,
                 QStringLiteral("Es wurden 3 Ordner mit 0 Byte gefunden, sollen diese jetzt gelöscht werden?"));
        QCOMPARE(script.calls().at(0).style, 292);
        QCOMPARE(script.calls().at(0).title, QStringLiteral("Löschen"));
        QVERIFY(exists(at("zero1/")));
        QVERIFY(exists(at("zero2/sub/")));
        QCOMPARE(window_->Label_Info(0)->text(), QStringLiteral("7 Ordner gefunden "));
    }

    void zeroPassDeletesOnlyZeroRowsAndRescans() {
        MsgBoxScript script;
        script.answer(6);
        cmd_OrdnerNull_Click(*window_);
        QCOMPARE(script.calls().size(), 1);  // nothing after the question, not even for zero2/sub
        QVERIFY(!exists(at("zero1/")));
        QVERIFY(!exists(at("zero2/")));
        QVERIFY(exists(at("three/x")));
        QVERIFY(exists(at("big/a/x.txt")));
        const QList<QByteArray> expected{root_, at("big/"), at("big/a/"), at("three/")};
        QCOMPARE(listedPaths(), expected);
        QVERIFY(window_->Label_Info(0)->text().startsWith(QStringLiteral("4")));
        QCOMPARE(list()->ZeroByteCount(), 0);
    }

    void zeroPassKeepsAFolderThatGainedContent() {
        makeFile(at("zero1/late.txt"), "late");
        MsgBoxScript script;
        script.answer(6);
        cmd_OrdnerNull_Click(*window_);
        QVERIFY(exists(at("zero1/late.txt")));
        QVERIFY(!exists(at("zero2/")));
        QVERIFY(rowOf(at("zero1/")) > 0);  // the rescan lists it again
        QVERIFY(!list()->RowAt(rowOf(at("zero1/")))->zeroByte);
    }
};

QTEST_MAIN(TstDeleteFolders)
#include "tst_deletefolders.moc"
