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
// The full date and time with a four-digit year ("05.12.2026 14:03:09").
QString fullDateText(const QDateTime& local);

// A byte count in grouped digits: "1 Byte", "134.432.123.456 Bytes".
QString exactBytesText(quint64 bytes);
// A byte count in the largest binary unit (1 KB = 1024 bytes) that keeps
// it at least 1, one decimal: "125,2 GB", "1,0 KB"; below 1 KB the exact
// text ("3 Bytes").
QString readableSizeText(quint64 bytes);
// Both: "125,2 GB (134.432.123.456 Bytes)"; below 1 KB only "3 Bytes".
QString sizeWithBytesText(quint64 bytes);

}  // namespace velmaro::platform
