// The settings store: text values in an INI file under the XDG config folder.

#include "platform/Settings.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QtTest>

using velmaro::platform::Settings;

class TestSettings : public QObject {
    Q_OBJECT
    QFile ini_{qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Velmaro/Velmaro.ini")};

private slots:
    void savedValuesAreOnDiskAtOnce()
    {
        QCOMPARE(Settings::read("Setup", "Width", "10290"), QStringLiteral("10290"));
        Settings::save("Setup", "Width", "12000");
        Settings::save("Setup", "Height", "5295");
        Settings::save("Setup", "Height", "7000");
        Settings::save("Andere", "Height", "1");
        QVERIFY(ini_.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(ini_.readAll());
        ini_.close();
        for (const char* line : {"[Setup]", "Width=12000", "Height=7000", "[Andere]"})
            QVERIFY2(text.contains(QLatin1String(line)), qPrintable(text));
        QCOMPARE(Settings::read("Setup", "Height", "0"), QStringLiteral("7000"));
        QCOMPARE(Settings::read("Andere", "Height", "0"), QStringLiteral("1"));
        QCOMPARE(Settings::read("Andere", "Width", "leer"), QStringLiteral("leer"));
    }

    // Values are stored and returned as the exact text, also when the text is
    // not a number or holds commas, blanks or umlauts, or was written by hand.
    void textSurvivesAsText()
    {
        for (const QString value : {"12,5", "a, b", " vorn und hinten ", "Größe", ""}) {
            Settings::save("Setup", "Probe", value);
            QCOMPARE(Settings::read("Setup", "Probe", "default"), value);
        }
        QVERIFY(ini_.open(QIODevice::Append));
        ini_.write("\n[Hand]\nListe=eins, zwei\n");
        ini_.close();
        QCOMPARE(Settings::read("Hand", "Liste", QString()), QStringLiteral("eins, zwei"));
    }
};

VELMARO_TEST_CLASS(TestSettings);
#include "tst_settings.moc"
