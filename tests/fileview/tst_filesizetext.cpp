// Size, date and time texts of the file view, in German.
#include "fileview/FileDateText.h"
#include "fileview/FileSizeText.h"

#include <QtTest>

using namespace velmaro;

class TestFileSizeText : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void sizeRule_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("text");
        const qint64 gib = qint64(1) << 30;
        QTest::newRow("empty") << qint64(0) << "0,00 KB";
        QTest::newRow("500 bytes") << qint64(500) << "0,49 KB";
        QTest::newRow("1023 bytes") << qint64(1023) << "1,00 KB";
        QTest::newRow("1 KB") << qint64(1024) << "1 KB";
        QTest::newRow("1536 bytes rounds") << qint64(1536) << "2 KB";
        QTest::newRow("1040000 bytes") << qint64(1040000) << "1.016 KB";
        QTest::newRow("just below 1 MB") << qint64(1048575) << "1.024 KB";
        QTest::newRow("1 MB") << qint64(1048576) << "1 MB";
        QTest::newRow("just below 1 GB") << qint64(1073741823) << "1.024 MB";
        QTest::newRow("1 GB") << gib << "1,0 GB";
        QTest::newRow("1.5 GB") << qint64(1610612736) << "1,5 GB";
        QTest::newRow("2 GiB (the old limit)") << 2 * gib << "2,0 GB";
        QTest::newRow("3 GB") << 3 * gib << "3,0 GB";
        QTest::newRow("5 TB groups") << 5120 * gib << "5.120,0 GB";
        QTest::newRow("negative") << qint64(-1) << "> 2 GB (Error)";
    }
    void sizeRule()
    {
        QFETCH(qint64, length);
        QFETCH(QString, text);
        QCOMPARE(FileSizeText::of(length), text);
    }

    void otherLocaleSigns()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(FileSizeText::of(1610612736, english) + FileSizeText::of(1048575, english),
                 QStringLiteral("1.5 GB1,024 KB"));
    }

    void dateAndTime_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("December afternoon") << QDateTime(QDate(2026, 12, 5), QTime(14, 3, 9)) << "05.Dez.26"
                                            << "14:03:09";
        QTest::newRow("March (umlaut)") << QDateTime(QDate(2024, 3, 31), QTime(0, 0, 0)) << "31.März.24"
                                        << "00:00:00";
        QTest::newRow("May (no dot)") << QDateTime(QDate(2009, 5, 1), QTime(23, 59, 59)) << "01.Mai.09"
                                      << "23:59:59";
        QTest::newRow("January 2000") << QDateTime(QDate(2000, 1, 9), QTime(7, 5, 0)) << "09.Jan.00"
                                      << "07:05:00";
        QTest::newRow("invalid: empty cells") << QDateTime() << ""
                                              << "";
    }
    void dateAndTime()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QCOMPARE(FileDateText::date(when), date);
        QCOMPARE(FileDateText::time(when), time);
    }
};

QTEST_GUILESS_MAIN(TestFileSizeText)
#include "tst_filesizetext.moc"
