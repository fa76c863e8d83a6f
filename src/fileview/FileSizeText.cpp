#include "fileview/FileSizeText.h"

namespace velmaro {

namespace {

constexpr double kKB = 1024.0;
constexpr double kMB = 1024.0 * 1024.0;
constexpr double kGB = 1024.0 * 1024.0 * 1024.0;

// The number with `decimals` places, grouped, in the locale's signs.
QString grouped(double value, int decimals, QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

}  // namespace

QString FileSizeText::of(qint64 length, const QLocale& locale)
{
    if (length < 0)
        return QStringLiteral("> 2 GB (Error)");
    const double bytes = double(length);
    if (length < 1024)
        return grouped(bytes / kKB, 2, locale) + QStringLiteral(" KB");
    if (bytes / kKB < 1024.0)
        return grouped(bytes / kKB, 0, locale) + QStringLiteral(" KB");
    if (bytes / kKB / kKB < 1024.0)
        return grouped(bytes / kMB, 0, locale) + QStringLiteral(" MB");
    return grouped(bytes / kGB, 1, locale) + QStringLiteral(" GB");
}

}  // namespace velmaro
