#pragma once
// Numbers and dates as text in the user's locale (QLocale::system(), or the
// default set with QLocale::setDefault).

#include <QDateTime>
#include <QString>

namespace velmaro::platform {

// Short date, a blank, the long time without time zone; the time is left
// out when it is exactly midnight.
QString generalDateText(const QDateTime& local);
// Abbreviated month name of the locale without a trailing dot ("Dez").
QString shortMonthName(int month);

}  // namespace velmaro::platform
