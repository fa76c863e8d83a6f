#pragma once
// The process's resident memory now, in KB (VmRSS of /proc/self/status; 0
// where it cannot be read). Shared by the benchmarks.

#include <QFile>

inline long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}
