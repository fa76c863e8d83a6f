#pragma once
// Turns one scanned folder (engine record) into one row of the folder list.
// Pure and reentrant: safe to call on the scan's worker threads.
//
// - Name (column 1): the path's last component; for "/" the whole path "/".
// - Path (column 2): the record's raw bytes, always ending in "/", kept in
//   rawPath for every file-system operation and decoded for display with
//   QFile::decodeName (names with tab, newline or invalid UTF-8 stay shown).
// - Size (column 3): bytes / 1024 rounded to hundredths (a quotient exactly
//   halfway rounds up: 128 bytes give 0,13), then the shortest text in the
//   given locale without digit grouping and without trailing zeros:
//   0..5 bytes "0", 6 "0,01", 1536 "1,5", 1048576 "1024" (German).
//   Failed: the German failure text of the record's errno, sizeKnown false.
//   Incomplete: kIncompleteText, sizeKnown false.
// - zeroByte only from the record's flag (and only for a complete size), so
//   a 3-byte folder shows "0" without being a zero-byte folder.
// - Times in ms since the epoch; no birth time gives FolderRow::kNoTime.

#include "rows/FolderRow.h"
#include "engine/FolderRecord.h"

#include <QLocale>
#include <QString>
#include <cstdint>

namespace velmaro {

class FolderRowBuilder {
public:
    static const QString kIncompleteText;  // "Größe unvollständig (Suche abgebrochen)"

    // Uses `locale` for the size text (default: QLocale(), the user's locale).
    explicit FolderRowBuilder(const QLocale& locale = QLocale());

    FolderRow build(const engine::FolderRecord& record) const;
    // The text in place of the size of a Failed or Incomplete record.
    static QString failureText(const engine::FolderRecord& record);

    // The size text of `bytes` (see above).
    QString sizeText(uint64_t bytes) const;
    // bytes / 1024 in hundredths, halves rounded up; exact for every uint64.
    static uint64_t hundredthsOfKB(uint64_t bytes);
    // The name rule on a raw path ending in "/".
    static QByteArray nameOf(const QByteArray& rawPath);
    static qint64 toMs(const engine::FileTime& t);

private:
    QLocale locale_;
};

}  // namespace velmaro
