#include "fileview/FileDateText.h"

#include "rows/LocaleText.h"

namespace velmaro {

namespace {

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value % 100, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString FileDateText::date(const QDateTime& local)
{
    if (!local.isValid())
        return QString();
    const QDate d = local.date();
    return twoDigits(d.day()) + QLatin1Char('.') + platform::shortMonthName(d.month()) + QLatin1Char('.') +
           twoDigits(d.year());
}

QString FileDateText::time(const QDateTime& local)
{
    if (!local.isValid())
        return QString();
    const QTime t = local.time();
    return twoDigits(t.hour()) + QLatin1Char(':') + twoDigits(t.minute()) + QLatin1Char(':') +
           twoDigits(t.second());
}

}  // namespace velmaro
