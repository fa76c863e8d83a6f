// WindowCells' size and date texts against the window's own
// (FolderRowBuilder::sizeText, platform::generalDateText), in a locale with
// ASCII digits and one without, across daylight saving time changes.

#include "cli/WindowCells.h"
#include "rows/FolderRowBuilder.h"
#include "rows/LocaleText.h"

#include <QDateTime>
#include <QLocale>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>

namespace {

using velmaro::FolderRowBuilder;
using velmaro::cli::WindowCells;
using velmaro::engine::FileTime;

std::string windowDate(const FileTime& time)
{
    const auto ms = FolderRowBuilder::toMs(time);
    return velmaro::platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms)).toStdString();
}

void expectLikeWindow(const QLocale& locale)
{
    QLocale::setDefault(locale);
    const FolderRowBuilder builder;
    WindowCells cells(builder);
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bytes = i < 3000 ? uint64_t(i) : random() >> (random() % 64);
        std::string size;
        cells.appendSize(size, bytes);
        ASSERT_EQ(size, builder.sizeText(bytes).toStdString()) << bytes;
    }
    // Seconds around the changes of 2024 in Berlin, midnights, before 1970,
    // each several times with other nanoseconds (the cache keeps seconds).
    std::vector<int64_t> seconds{0, -1, 1711846800, 1711846799, 1729990800, 1729990799, 1729987200,
                                 -86400, -2208988800, 4102444800};
    for (int i = 0; i < 3000; ++i)
        seconds.push_back(int64_t(random() % 5000000000) - 1000000000);
    for (int round = 0; round < 3; ++round) {
        for (const int64_t s : seconds) {
            const FileTime time{s, uint32_t(random() % 1000000000)};
            std::string date;
            cells.appendDate(date, time);
            ASSERT_EQ(date, windowDate(time)) << s << " s, round " << round;
        }
    }
}

TEST(WindowCells, TextsEqualTheWindowsInGermanAndArabic)
{
    ::setenv("TZ", "Europe/Berlin", 1);
    ::tzset();
    expectLikeWindow(QLocale(QLocale::German, QLocale::Germany));
    expectLikeWindow(QLocale(QLocale::Arabic, QLocale::Egypt));
    QLocale::setDefault(QLocale::c());
}

}  // namespace
