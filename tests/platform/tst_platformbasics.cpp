// The small pieces of the platform layer: the wait cursor, twips, the font
// substitutions, dates as the locale writes them (German
// pinned here), and the settings store (text values in an INI file under the
// XDG config folder).

#include "platform/Fonts.h"
#include "rows/LocaleText.h"
#include "platform/Settings.h"
#include "platform/Twips.h"
#include "platform/WaitCursor.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QTimeZone>
#include <QtTest>

using namespace velmaro::platform;

class TestPlatformBasics : public QObject {
    Q_OBJECT
    static bool waitCursorShown()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor && cursor->shape() == Qt::WaitCursor;
    }
    QFile ini_{qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Velmaro/Velmaro.ini")};

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void waitCursorIsBalanced()
    {
        WaitCursor::restore();  // nothing pending: no effect
        QCOMPARE(WaitCursor::depth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        WaitCursor::set();
        QVERIFY(waitCursorShown());
        {
            WaitCursorGuard guard;
            QCOMPARE(WaitCursor::depth(), 2);
        }
        QCOMPARE(WaitCursor::depth(), 1);
        QVERIFY(waitCursorShown());
        WaitCursor::restore();
        QCOMPARE(WaitCursor::depth(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void twipsAtScreenDpi()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 96.0);
        QCOMPARE(twipsToPixels(10290), 686);  // 15 twips a pixel; halves round up
        QCOMPARE(twipsToPixels(7), 0);
        QCOMPARE(twipsToPixels(8), 1);
        QCOMPARE(twipsToPixels(pixelsToTwips(123)), 123);
    }

    void windowsFontsMapToFreeFonts()
    {
        velmaro::installFontSubstitutions();
        QCOMPARE(QFont::substitute("Verdana").toLower(), QStringLiteral("dejavu sans"));
        QVERIFY(QFont::substitute("MS Sans Serif").toLower() != QStringLiteral("ms sans serif"));
    }

    void germanGeneralDate_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << QDateTime(QDate(2001, 1, 31), QTime(7, 0, 0)) << "31.01.01 07:00:00";
        QTest::newRow("midnight") << QDateTime(QDate(2026, 3, 1), QTime(0, 0, 0)) << "01.03.26";
        QTest::newRow("one second past")
            << QDateTime(QDate(2026, 3, 1), QTime(0, 0, 1)) << "01.03.26 00:00:01";
        QTest::newRow("no milliseconds")
            << QDateTime(QDate(2026, 3, 1), QTime(23, 59, 59, 999)) << "01.03.26 23:59:59";
        QTest::newRow("invalid") << QDateTime() << "";
    }
    void germanGeneralDate()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, text);
        QCOMPARE(generalDateText(when), text);
    }

    // The long time format of many locales ends in a time-zone field; it is left out.
    void noTimeZoneInAnyLocale()
    {
        const QDateTime local =
            QDateTime(QDate(2026, 7, 4), QTime(15, 30, 45), QTimeZone::utc()).toLocalTime();
        for (const QLocale& locale :
             {QLocale(QLocale::English, QLocale::UnitedStates), QLocale(QLocale::French, QLocale::France),
              QLocale(QLocale::Japanese, QLocale::Japan)}) {
            QLocale::setDefault(locale);
            const QString text = generalDateText(local);
            QVERIFY2(!text.contains(local.timeZoneAbbreviation()) && !text.endsWith(' '), qPrintable(text));
            QVERIFY2(text.contains(locale.toString(local.time(), "mm")), qPrintable(text));
        }
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(
            generalDateText(QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9))).startsWith("12/5/26 2:03:09"));
    }

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

VELMARO_TEST_CLASS(TestPlatformBasics);
#include "tst_platformbasics.moc"
