#pragma once
// Date and time texts of a file's last change in the file view, local time:
//   date(): day with two digits, ".", the locale's abbreviated month name
//           without a trailing dot, ".", year with two digits ("05.Dez.26")
//   time(): 24-hour clock, two digits each, ":" ("14:03:09")
// An invalid QDateTime gives an empty text.

#include <QDateTime>
#include <QString>

namespace velmaro {

class FileDateText {
public:
    static QString date(const QDateTime& local);
    static QString time(const QDateTime& local);
};

}  // namespace velmaro
