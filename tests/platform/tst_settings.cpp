// The settings store: text values in an INI file under the XDG config folder.

#include "platform/Settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using velmaro::platform::Settings;

namespace {

// The store's folder is fixed on first use, so HOME and XDG_CONFIG_HOME point
// into a temporary folder before the application object or any QSettings exist.
QTemporaryDir& home()
{
    static QTemporaryDir dir;
    return dir;
}

const bool environmentReady = [] {
    qputenv("HOME", home().path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home().path() + QStringLiteral("/config")).toUtf8());
    return true;
}();

QString iniPath()
{
    return home().path() + QStringLiteral("/config/Velmaro/Velmaro.ini");
}

QString iniText()
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void missingKeyGivesDefault();
    void savedValueIsOnDiskAtOnce();
    void overwriteAndOtherSections();
    void textSurvivesAsText();
};

void TestSettings::initTestCase()
{
    QVERIFY(environmentReady);
    QVERIFY(home().isValid());
    QVERIFY(!QFile::exists(iniPath()));
}

void TestSettings::missingKeyGivesDefault()
{
    QCOMPARE(Settings::read("Setup", "Width", "10290"), QStringLiteral("10290"));
    QCOMPARE(Settings::read("Setup", "Nothing", QString()), QString());
}

void TestSettings::savedValueIsOnDiskAtOnce()
{
    Settings::save("Setup", "Width", "12000");
    Settings::save("Setup", "WindowState", "2");
    QVERIFY2(QFile::exists(iniPath()), qPrintable(iniPath()));
    const QString text = iniText();
    QVERIFY2(text.contains("[Setup]"), qPrintable(text));
    QVERIFY2(text.contains("Width=12000"), qPrintable(text));
    QVERIFY2(text.contains("WindowState=2"), qPrintable(text));
    QCOMPARE(Settings::read("Setup", "Width", "10290"), QStringLiteral("12000"));
}

void TestSettings::overwriteAndOtherSections()
{
    Settings::save("Setup", "Height", "5295");
    Settings::save("Setup", "Height", "7000");
    Settings::save("Andere", "Height", "1");
    QCOMPARE(Settings::read("Setup", "Height", "0"), QStringLiteral("7000"));
    QCOMPARE(Settings::read("Andere", "Height", "0"), QStringLiteral("1"));
    QCOMPARE(Settings::read("Andere", "Width", "leer"), QStringLiteral("leer"));
    QVERIFY(iniText().contains("[Andere]"));
}

// Values are stored and returned as the exact text, also when the text is
// not a number or holds commas, blanks or umlauts.
void TestSettings::textSurvivesAsText()
{
    const QStringList values{"abc", "12,5", "a, b", " vorn und hinten ", "Größe", ""};
    for (const QString& value : values) {
        Settings::save("Setup", "Probe", value);
        QCOMPARE(Settings::read("Setup", "Probe", "default"), value);
    }
    // Written by hand (e.g. a user editing the file): still read as text.
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::Append));
    file.write("\n[Hand]\nListe=eins, zwei\n");
    file.close();
    QCOMPARE(Settings::read("Hand", "Liste", QString()), QStringLiteral("eins, zwei"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
