#include "cli/WindowCells.h"

#include "rows/FolderRowBuilder.h"
#include "rows/LocaleText.h"

#include <QDateTime>
#include <QLocale>
#include <charconv>

namespace velmaro::cli {

namespace {

constexpr std::size_t kCachedDates = 1024;  // a power of two
// Seconds whose milliseconds fit in a qint64 with room to spare.
constexpr int64_t kCacheableSeconds = int64_t(1) << 52;

// Sizes the digit-by-digit form is checked on.
constexpr uint64_t kProbes[] = {0, 5, 6, 128, 1023, 1536, 10240, 1048576, 1234567890123, UINT64_MAX};

void appendNumber(std::string& out, uint64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, std::size_t(end - digits));
}

std::string dateText(const engine::FileTime& time)
{
    const qint64 ms = FolderRowBuilder::toMs(time);
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms)).toStdString();
}

}  // namespace

WindowCells::WindowCells(const FolderRowBuilder& builder)
    : builder_(builder)
    , dates_(kCachedDates)
{
    const QLocale locale;
    decimalPoint_ = locale.decimalPoint().toStdString();
    plainDigits_ = locale.zeroDigit() == QLatin1String("0");
    for (const uint64_t bytes : kProbes) {
        if (!plainDigits_)
            break;
        std::string fast;
        appendSize(fast, bytes);
        plainDigits_ = fast == builder_.sizeText(bytes).toStdString();
    }
    // Milliseconds ("z") in the time format would make a text depend on more than the second.
    cacheDates_ = !locale.timeFormat(QLocale::LongFormat).contains(QLatin1Char('z'));
}

WindowCells::~WindowCells() = default;

void WindowCells::appendSize(std::string& out, uint64_t bytes) const
{
    if (!plainDigits_) {
        out += builder_.sizeText(bytes).toStdString();
        return;
    }
    const uint64_t hundredths = FolderRowBuilder::hundredthsOfKB(bytes);
    appendNumber(out, hundredths / 100);
    const auto fraction = unsigned(hundredths % 100);
    if (fraction == 0)
        return;
    out += decimalPoint_;
    out += char('0' + fraction / 10);
    if (fraction % 10 != 0)
        out += char('0' + fraction % 10);
}

void WindowCells::appendDate(std::string& out, const engine::FileTime& time)
{
    if (!cacheDates_ || time.nanoseconds >= 1000000000u || time.seconds >= kCacheableSeconds ||
        time.seconds <= -kCacheableSeconds) {
        out += dateText(time);
        return;
    }
    CachedDate& slot = dates_[std::size_t(time.seconds) & (kCachedDates - 1)];
    if (!slot.filled || slot.seconds != time.seconds) {
        slot.text = dateText(time);
        slot.seconds = time.seconds;
        slot.filled = true;
    }
    out += slot.text;
}

}  // namespace velmaro::cli
