// Dates and month names as the locale writes them (German pinned here).

#include "platform/LocaleText.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <QTimeZone>
#include <QtTest>

using namespace velmaro::platform;

class TestLocaleText : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

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

    // Without the abbreviation dot the locale writes.
    void germanShortMonths()
    {
        QCOMPARE(shortMonthName(12), QStringLiteral("Dez"));
        QCOMPARE(shortMonthName(3), QStringLiteral("März"));
    }
};

VELMARO_TEST_CLASS(TestLocaleText);
#include "tst_localetext.moc"
