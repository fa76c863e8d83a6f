// The properties routine against a real, private D-Bus session bus.
//
// CTest runs this binary under `dbus-run-session` with a bus configuration
// of its own (platform/session.conf.in: no system service folders, one
// temporary service folder named by VELMARO_TEST_SERVICE_DIR), so no real
// file manager is ever reached. The stand-in file manager is this same
// binary started with "--stand-in <record file> ok|fail": it owns
// org.freedesktop.FileManager1, appends every ShowItemProperties call to the
// record file (uris joined by "|", a tab, the startup id) and answers it, or
// fails it with "fail".

#include "actions/Eigenschaften.h"
#include "actions/PropertiesWindow.h"
#include "platform/FileManagerProperties.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

using namespace velmaro;
using platform::FileManagerProperties;
using namespace velmaro::testsupport;

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const char* const kServiceDir = "VELMARO_TEST_SERVICE_DIR";

// ---- the stand-in file manager (separate process) ----

class StandIn : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    StandIn(QString record, bool fail)
        : record_(std::move(record))
        , fail_(fail)
    {}

public slots:
    void ShowItemProperties(const QStringList& uris, const QString& startupId)
    {
        QFile file(record_);
        if (file.open(QIODevice::Append))
            file.write((uris.join(u'|') + u'\t' + startupId + u'\n').toUtf8());
        file.close();
        if (fail_)
            sendErrorReply(QDBusError::Failed, QStringLiteral("stand-in refuses"));
        QTimer::singleShot(300, qApp, &QCoreApplication::quit);  // one call, then gone
    }

private:
    QString record_;
    bool fail_;
};

int runStandIn(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    StandIn standIn(QString::fromLocal8Bit(argv[2]), argc > 3 && qstrcmp(argv[3], "fail") == 0);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &standIn,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(kService))
        return 3;
    QTimer::singleShot(20000, &app, &QCoreApplication::quit);  // never outlives the test
    return app.exec();
}

// ---- helpers of the tests ----

QDBusMessage askDaemon(const QString& method, const QVariantList& args = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                       QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus"), method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

bool nameOwned()
{
    const QDBusMessage reply = askDaemon(QStringLiteral("NameHasOwner"), {kService});
    return !reply.arguments().isEmpty() && reply.arguments().first().toBool();
}

QStringList recorded(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

}  // namespace

class TstPropertiesDbus : public QObject {
    Q_OBJECT

private:
    QTemporaryDir temp_;
    QByteArray base_;
    QString serviceFile_;

    void requireBus()
    {
        if (qEnvironmentVariableIsEmpty(kServiceDir))
            QSKIP("no private session bus (dbus-run-session missing, or not run through CTest)");
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }
    // Starts the stand-in and waits until it owns the name.
    void startStandIn(QProcess& process, const QString& record, const char* mode)
    {
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--stand-in"), record, QString::fromLatin1(mode)});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(nameOwned(), 10000);
    }
    void stopStandIn(QProcess& process)
    {
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!nameOwned(), 5000);
    }
    void setActivatable(const QString& record)
    {
        QFile::remove(serviceFile_);
        if (!record.isEmpty()) {
            QFile file(serviceFile_);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[D-BUS Service]\nName=org.freedesktop.FileManager1\nExec=" +
                       QFile::encodeName(QCoreApplication::applicationFilePath()) + " --stand-in " +
                       QFile::encodeName(record) + " ok\n");
        }
        askDaemon(QStringLiteral("ReloadConfig"));
    }
    QByteArray makeFolder(const QByteArray& name)
    {
        makeDir(base_ + "/" + name);
        return base_ + "/" + name + "/";
    }

private slots:
    void initTestCase()
    {
        QVERIFY(temp_.isValid());
        base_ = QFile::encodeName(temp_.path());
        usePrivateHome(temp_.path());
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        serviceFile_ =
            qEnvironmentVariable(kServiceDir) + QStringLiteral("/org.freedesktop.FileManager1.service");
        QFile::remove(serviceFile_);  // left by an earlier run that was cut short
    }

    void cleanup()
    {
        for (PropertiesWindow* window : propertyWindows())
            window->close();
        flushDeletes();
    }

    void cleanupTestCase() { removeTree(temp_.path()); }  // also names that do not decode

    void uriKeepsTheRawBytes()
    {
        QCOMPARE(FileManagerProperties::fileUri("/tmp/a\xff"
                                                "b\nc d/"),
                 QStringLiteral("file:///tmp/a%FFb%0Ac%20d"));
        QCOMPARE(FileManagerProperties::fileUri("/"), QStringLiteral("file:///"));
        QCOMPARE(FileManagerProperties::fileUri("/x/%/\xc3\xa4.txt"),
                 QStringLiteral("file:///x/%25/%C3%A4.txt"));
        const QRegularExpression id(QStringLiteral("^velmaro-%1-\\d+_TIME\\d+$").arg(::getpid()));
        QVERIFY(id.match(FileManagerProperties::startupId()).hasMatch());
    }

    void runningFileManagerGetsTheCall()
    {
        requireBus();
        const QString record = temp_.filePath(QStringLiteral("running.txt"));
        QProcess process;
        startStandIn(process, record, "ok");
        Eigenschaften_zeigen(nullptr, base_ + "/no-such-folder/");  // missing paths: no call
        Eigenschaften_zeigen(nullptr, QByteArray());
        const QByteArray folder = makeFolder("a\xff"
                                             "b\nc");
        Eigenschaften_zeigen(nullptr, folder);
        QTRY_COMPARE_WITH_TIMEOUT(recorded(record).size(), 1, 10000);
        QTest::qWait(200);
        QCOMPARE(recorded(record).size(), 1);
        const QStringList call = recorded(record).first().split(u'\t');
        QCOMPARE(call.size(), 2);
        QCOMPARE(call.at(0), QStringLiteral("file://") + QString::fromLatin1(base_.toPercentEncoding("/")) +
                                 QStringLiteral("/a%FFb%0Ac"));
        QVERIFY(call.at(1).startsWith(QStringLiteral("velmaro-")) &&
                call.at(1).contains(QStringLiteral("_TIME")));
        stopStandIn(process);
        QVERIFY(propertyWindows().isEmpty());  // the reply has long arrived: a fallback would show now
    }

    void activatableFileManagerIsStarted()
    {
        requireBus();
        const QString record = temp_.filePath(QStringLiteral("activated.txt"));
        setActivatable(record);
        QVERIFY(FileManagerProperties::available());
        const QByteArray folder = makeFolder("activated");
        Eigenschaften_zeigen(nullptr, folder);
        QTRY_COMPARE_WITH_TIMEOUT(recorded(record).size(), 1, 15000);
        QVERIFY(recorded(record).first().startsWith(FileManagerProperties::fileUri(folder) + u'\t'));
        setActivatable(QString());
        QTRY_VERIFY_WITH_TIMEOUT(!nameOwned(), 5000);
        QVERIFY(!FileManagerProperties::available());
        QVERIFY(propertyWindows().isEmpty());
    }

    void failingFileManagerFallsBackToOwnWindow()
    {
        requireBus();
        const QString record = temp_.filePath(QStringLiteral("failing.txt"));
        QProcess process;
        startStandIn(process, record, "fail");
        QWidget owner;
        const QByteArray folder = makeFolder("refused");
        Eigenschaften_zeigen(&owner, folder);
        QVERIFY(propertyWindows().isEmpty());  // not before the file manager has answered
        QTRY_COMPARE_WITH_TIMEOUT(propertyWindows().size(), 1, 10000);
        QCOMPARE(propertyWindows().first()->rawPath(), folder);
        QCOMPARE(propertyWindows().first()->parentWidget(), &owner);
        QCOMPARE(recorded(record).size(), 1);
        stopStandIn(process);
    }

    void withoutFileManagerOwnWindowOpensAtOnce()
    {
        requireBus();
        QVERIFY(!FileManagerProperties::available());
        const QByteArray folder = makeFolder("own");
        makeFile(folder + "data.bin", QByteArray(1536, 'x'));
        QWidget owner;
        owner.show();
        Eigenschaften_zeigen(&owner, base_ + "/no-such-folder/");  // nothing for a missing path
        QVERIFY(propertyWindows().isEmpty());
        Eigenschaften_zeigen(&owner, folder + "data.bin");
        QCOMPARE(propertyWindows().size(), 1);  // synchronously, and the call has returned
        PropertiesWindow* window = propertyWindows().first();
        QCOMPARE(window->windowModality(), Qt::NonModal);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(window->value(QStringLiteral("Name")), QStringLiteral("data.bin"));
        QCOMPARE(window->value(QStringLiteral("Ordner")), QFile::decodeName(folder));
        QCOMPARE(window->value(QStringLiteral("Größe")), QStringLiteral("1,5 KB (1.536 Bytes)"));
        QCOMPARE(window->value(QStringLiteral("Inhalt")), QString());  // a file has no entries
        QVERIFY(window->value(QStringLiteral("Typ")).startsWith(QStringLiteral("Datei")));
        QVERIFY(window->value(QStringLiteral("Berechtigungen")).startsWith(QStringLiteral("-rw")));
        QVERIFY(!window->value(QStringLiteral("Geändert")).isEmpty());

        Eigenschaften_zeigen(&owner, folder);
        QCOMPARE(propertyWindows().size(), 2);
        auto* second =
            propertyWindows().first() == window ? propertyWindows().last() : propertyWindows().first();
        QCOMPARE(second->value(QStringLiteral("Typ")), QStringLiteral("Ordner"));
        // Opened by path alone, a folder's size is not known; its entries are.
        QCOMPARE(second->value(QStringLiteral("Größe")), QStringLiteral("unbekannt"));
        QCOMPARE(second->value(QStringLiteral("Inhalt")), QStringLiteral("1 Eintrag"));
        QCOMPARE(second->value(QStringLiteral("Name")), QStringLiteral("own"));
        // Centred over its owner; Escape closes it.
        const QPoint off = second->frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(off.x()).arg(off.y())));
        QTest::keyClick(second, Qt::Key_Escape);
        QTRY_COMPARE(propertyWindows(), QList<PropertiesWindow*>{window});

        // A folder of the scan shows the scan's total of its subtree.
        Ordnereigenschaften_zeigen(&owner, folder, 134432123456);
        QCOMPARE(propertyWindows().size(), 2);
        auto* scanned =
            propertyWindows().first() == window ? propertyWindows().last() : propertyWindows().first();
        QCOMPARE(scanned->value(QStringLiteral("Größe")), QStringLiteral("125,2 GB (134.432.123.456 Bytes)"));
        QCOMPARE(scanned->value(QStringLiteral("Inhalt")), QStringLiteral("1 Eintrag"));
    }
};

int main(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--stand-in") == 0)
        return runStandIn(argc, argv);
    QApplication app(argc, argv);
    TstPropertiesDbus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_properties_dbus.moc"
