#include "platform/LocaleText.h"

#include <QLocale>

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

QString shortMonthName(int month)
{
    QString name = QLocale().monthName(month, QLocale::ShortFormat);
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name;
}

}  // namespace velmaro::platform
