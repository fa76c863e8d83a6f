#pragma once
// The size text of a file in the file view, from its 64-bit length in bytes
// (1 KB = 1024 bytes, 1 MB = 1024 KB, 1 GB = 1024 MB), tested from the top:
//   length < 1 KB   -> length / 1 KB, two decimals,  " KB"   (0 -> "0,00 KB")
//   length < 1 MB   -> length / 1 KB, no decimals,   " KB"   (1048575 -> "1.024 KB")
//   length < 1 GB   -> length / 1 MB, no decimals,   " MB"
//   otherwise       -> length / 1 GB, one decimal,   " GB"   (3 GiB -> "3,0 GB")
// A negative length (never produced by a real file) gives "> 2 GB (Error)".
// The quotients are doubles rounded to the shown decimals; digit grouping
// and the decimal sign are those of the given locale (default: QLocale()).

#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace velmaro {

class FileSizeText {
public:
    static QString of(qint64 length, const QLocale& locale = QLocale());
};

}  // namespace velmaro
