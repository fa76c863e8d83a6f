// The real opener: a test MIME type and a stand-in application registered in
// temporary XDG folders; the stand-in writes the path it was given to a file.
#include "platform/FileOpener.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using velmaro::platform::FileOpener;

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(text);
}

using velmaro::testsupport::makeFile;

const QByteArray kMimePackage =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
    "  <mime-type type=\"application/x-velmarotest\">\n"
    "    <comment>Velmaro test file</comment>\n"
    "    <glob pattern=\"*.velmarotest\"/>\n"
    "  </mime-type>\n"
    "</mime-info>\n";

}  // namespace

class TestFileOpener : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QByteArray files_;  // raw folder of the files to open, ends in "/"
    QString record_;    // where the stand-in writes its argument

    // Opens `file` and returns what the stand-in application received.
    QByteArray openAndRecord(const QByteArray& file)
    {
        QFile::remove(record_);
        const int result = FileOpener::open(file, files_);
        if (result != FileOpener::Opened)
            return "result " + QByteArray::number(result);
        if (!QTest::qWaitFor([&] { return QFile::exists(record_); }, 15000))
            return "the stand-in was not started";
        QFile f(record_);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable record");
    }

private slots:
    void cleanupTestCase() { velmaro::testsupport::removeTree(home_.path()); }

    void initTestCase()
    {
        if (QStandardPaths::findExecutable("gio").isEmpty() &&
            QStandardPaths::findExecutable("xdg-open").isEmpty())
            QSKIP("neither gio (libglib2.0-bin) nor xdg-open (xdg-utils) is installed");
        if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
            QSKIP("update-mime-database (shared-mime-info) is not installed");
        QVERIFY(home_.isValid());
        const QString home = home_.path();
        const QString data = home + "/data", config = home + "/config";
        qputenv("HOME", home.toUtf8());
        qputenv("XDG_DATA_HOME", data.toUtf8());
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        QVERIFY(QDir().mkpath(data + "/mime/packages") && QDir().mkpath(data + "/applications"));
        QVERIFY(QDir().mkpath(config) && QDir().mkpath(home + "/files"));
        writeText(data + "/mime/packages/velmaro-test.xml", kMimePackage);
        QCOMPARE(QProcess::execute("update-mime-database", {data + "/mime"}), 0);

        record_ = home + "/record";
        const QString standIn = home + "/standin.sh";
        writeText(standIn, "#!/bin/sh\nprintf '%s' \"$1\" > '" + record_.toUtf8() +
                               ".tmp'\n"
                               "mv '" +
                               record_.toUtf8() + ".tmp' '" + record_.toUtf8() + "'\n");
        QVERIFY(QFile::setPermissions(standIn, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        writeText(data + "/applications/velmaro-standin.desktop",
                  "[Desktop Entry]\nType=Application\nName=Velmaro Stand-in\nExec=" + standIn.toUtf8() +
                      " %f\nMimeType=application/x-velmarotest;\nNoDisplay=true\n");
        writeText(config + "/mimeapps.list",
                  "[Default Applications]\napplication/x-velmarotest=velmaro-standin.desktop\n");
        files_ = QFile::encodeName(home) + "/files/";
    }

    void opensTheExactFile_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("leading dash and newline") << QByteArray("-weird\nname.velmarotest");
        QTest::newRow("not UTF-8") << QByteArray("roh\xff\xfe.velmarotest");
        QTest::newRow("blanks, quotes, percent") << QByteArray("a 'b' \"c\" %41 $HOME.velmarotest");
    }
    void opensTheExactFile()
    {
        QFETCH(QByteArray, name);
        const QByteArray file = files_ + name;
        makeFile(file, "content");
        QCOMPARE(openAndRecord(file), file);
    }

    void relativePathIsMadeAbsolute()
    {
        makeFile(files_ + "-relativ.velmarotest", "x");
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFile::decodeName(files_)));
        const QByteArray got = openAndRecord("-relativ.velmarotest");
        QDir::setCurrent(before);
        QCOMPARE(got, files_ + "-relativ.velmarotest");
    }

    void typeApplicationOrNoAssociation()
    {
        const QByteArray plain = files_ + "plain.velmarotest";
        makeFile(plain, "hello");
        QCOMPARE(FileOpener::mimeTypeOf(plain), QStringLiteral("application/x-velmarotest"));
        QCOMPARE(FileOpener::defaultApplication("application/x-velmarotest"),
                 QStringLiteral("velmaro-standin.desktop"));
        QVERIFY(FileOpener::defaultApplication("application/x-velmaro-nothing").isEmpty());
        // An unregistered type is 31 and starts nothing.
        const QByteArray file = files_ + "binaer.velmaro-unbekannt";
        makeFile(file, QByteArray("\x00\x01\x02\x03\xff\xfe", 6));
        QFile::remove(record_);
        QCOMPARE(FileOpener::open(file, files_), int(FileOpener::NoAssociation));
        QTest::qWait(300);
        QVERIFY(!QFile::exists(record_));
    }

    void missingFileOrFolder()
    {
        QCOMPARE(FileOpener::open(files_ + "fehlt.velmarotest"), int(FileOpener::FileNotFound));
        QCOMPARE(FileOpener::open(files_ + "kein-ordner/x.velmarotest"), int(FileOpener::PathNotFound));
        makeFile(files_ + "datei", "x");
        QCOMPARE(FileOpener::open(files_ + "datei/x.velmarotest"), int(FileOpener::PathNotFound));
        const QByteArray dangling = files_ + "ins-leere.velmarotest";
        QCOMPARE(::symlink("nirgends", dangling.constData()), 0);
        QCOMPARE(FileOpener::open(dangling), int(FileOpener::FileNotFound));
    }

    void openerArgument()
    {
        QCOMPARE(FileOpener::openerArgument("/a/-b\nc"), QStringLiteral("/a/-b\nc"));
        QCOMPARE(FileOpener::openerArgument("/a/\xc3\xa4"), QStringLiteral("/a/\u00e4"));
        QCOMPARE(FileOpener::openerArgument("/a b/\xff"), QStringLiteral("file:///a%20b/%FF"));
    }
};

QTEST_GUILESS_MAIN(TestFileOpener)
#include "tst_fileopener.moc"
