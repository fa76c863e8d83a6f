// The settings store: text values in an INI file under the XDG config folder.

#include "platform/Settings.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using velmaro::platform::Settings;

namespace {

// The store's folder is fixed on first use, so HOME and XDG_CONFIG_HOME point
// into a temporary folder before the application object or any QSettings exist.
QTemporaryDir& temp()
{
    static QTemporaryDir dir;
    return dir;
}

const bool environmentReady = [] {
    velmaro::testsupport::usePrivateHome(temp().path());
    return true;
}();

QString iniPath()
{
    return temp().path() + QStringLiteral("/home/.config/Velmaro/Velmaro.ini");
}

QString iniText()
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(environmentReady && temp().isValid());
        QVERIFY(!QFile::exists(iniPath()));
    }
    void savedValuesAreOnDiskAtOnce();
    void textSurvivesAsText();
};

void TestSettings::savedValuesAreOnDiskAtOnce()
{
    QCOMPARE(Settings::read("Setup", "Width", "10290"), QStringLiteral("10290"));
    Settings::save("Setup", "Width", "12000");
    Settings::save("Setup", "WindowState", "2");
    Settings::save("Setup", "Height", "5295");
    Settings::save("Setup", "Height", "7000");
    Settings::save("Andere", "Height", "1");
    const QString text = iniText();
    for (const char* line : {"[Setup]", "Width=12000", "WindowState=2", "Height=7000", "[Andere]"})
        QVERIFY2(text.contains(QLatin1String(line)), qPrintable(text));
    QCOMPARE(Settings::read("Setup", "Width", "10290"), QStringLiteral("12000"));
    QCOMPARE(Settings::read("Setup", "Height", "0"), QStringLiteral("7000"));
    QCOMPARE(Settings::read("Andere", "Height", "0"), QStringLiteral("1"));
    QCOMPARE(Settings::read("Andere", "Width", "leer"), QStringLiteral("leer"));
}

// Values are stored and returned as the exact text, also when the text is
// not a number or holds commas, blanks or umlauts.
void TestSettings::textSurvivesAsText()
{
    for (const QString value : {"abc", "12,5", "a, b", " vorn und hinten ", "Größe", ""}) {
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
