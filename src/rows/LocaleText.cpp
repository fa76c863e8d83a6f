#include "rows/LocaleText.h"

#include <QLocale>
#include <iterator>

namespace velmaro::platform {

namespace {

// Removes the time-zone fields ("t", "tt", ...) of a time format, with the
// blanks before them; quoted literal text is kept.
QString withoutTimeZone(const QString& format)
{
    QString out;
    bool quoted = false;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
        } else if (!quoted && c == QLatin1Char('t')) {
            while (!out.isEmpty() && out.back().isSpace())
                out.chop(1);
        } else {
            out += c;
        }
    }
    return out.trimmed();
}

// The locale's short date format with the year in four digits.
QString fourDigitYear(QString format)
{
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

}  // namespace

QString generalDateText(const QDateTime& local)
{
    if (!local.isValid())
        return QString();
    const QLocale locale;
    const QString date = locale.toString(local.date(), QLocale::ShortFormat);
    const QTime time = local.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    const QString format = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return date + QLatin1Char(' ') + locale.toString(time, format);
}

QString fullDateText(const QDateTime& local)
{
    if (!local.isValid())
        return QString();
    const QLocale locale;
    return locale.toString(local.date(), fourDigitYear(locale.dateFormat(QLocale::ShortFormat))) +
           QLatin1Char(' ') + locale.toString(local.time(), withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString exactBytesText(quint64 bytes)
{
    return QLocale().toString(qulonglong(bytes)) + (bytes == 1 ? QStringLiteral(" Byte") : QStringLiteral(" Bytes"));
}

QString readableSizeText(quint64 bytes)
{
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    if (bytes < 1024)
        return exactBytesText(bytes);
    double value = double(bytes) / 1024.0;
    int unit = 0;
    // Rounded to one decimal it must stay below 1024 in its unit.
    while (value >= 1023.95 && unit + 1 < int(std::size(units))) {
        value /= 1024.0;
        ++unit;
    }
    return QLocale().toString(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString sizeWithBytesText(quint64 bytes)
{
    if (bytes < 1024)
        return exactBytesText(bytes);
    return readableSizeText(bytes) + QStringLiteral(" (") + exactBytesText(bytes) + QLatin1Char(')');
}

QString shortMonthName(int month)
{
    QString name = QLocale().monthName(month, QLocale::ShortFormat);
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name;
}

}  // namespace velmaro::platform
