#include "rows/FolderRowBuilder.h"

#include "engine/ErrorText.h"

#include <QFile>
#include <cerrno>

namespace velmaro {

const QString FolderRowBuilder::kIncompleteText = QStringLiteral("Größe unvollständig (Suche abgebrochen)");

FolderRowBuilder::FolderRowBuilder(const QLocale& locale)
    : locale_(locale)
{
    locale_.setNumberOptions(QLocale::OmitGroupSeparator);
}

uint64_t FolderRowBuilder::hundredthsOfKB(uint64_t bytes)
{
    // Split so that bytes * 100 cannot overflow: q KB and r bytes.
    const uint64_t q = bytes / 1024;
    const uint64_t r = bytes % 1024;
    return q * 100 + (r * 100 + 512) / 1024;
}

QString FolderRowBuilder::sizeText(uint64_t bytes) const
{
    const uint64_t h = hundredthsOfKB(bytes);
    const uint64_t whole = h / 100;
    const uint64_t frac = h % 100;
    QString text = locale_.toString(qulonglong(whole));
    if (frac == 0)
        return text;
    text += locale_.decimalPoint();
    text += locale_.toString(qulonglong(frac / 10));
    if (frac % 10 != 0)
        text += locale_.toString(qulonglong(frac % 10));
    return text;
}

QByteArray FolderRowBuilder::nameOf(const QByteArray& rawPath)
{
    // Search from the second-last character back for the separator.
    const qsizetype end = rawPath.endsWith('/') ? rawPath.size() - 1 : rawPath.size();
    if (end <= 0)
        return rawPath;
    const qsizetype slash = rawPath.lastIndexOf('/', end - 1);
    if (slash < 0)
        return rawPath;
    return rawPath.mid(slash + 1, end - slash - 1);
}

qint64 FolderRowBuilder::toMs(const engine::FileTime& t)
{
    return qint64(t.seconds) * 1000 + qint64(t.nanoseconds / 1000000u);
}

QString FolderRowBuilder::failureText(const engine::FolderRecord& record)
{
    if (record.sizeState == engine::SizeState::Incomplete)
        return kIncompleteText;
    return QString::fromStdString(engine::errorFromErrno(record.error ? record.error : EIO).text);
}

FolderRow FolderRowBuilder::build(const engine::FolderRecord& record) const
{
    FolderRow row;
    row.rawPath = QByteArray(record.path.data(), qsizetype(record.path.size()));
    row.id = record.id;
    row.isRoot = record.root;
    if (!row.rawPath.endsWith('/'))
        row.rawPath += '/';
    row.path = QFile::decodeName(row.rawPath);
    row.name = QFile::decodeName(nameOf(row.rawPath));
    row.bytes = record.bytes;
    row.sizeKnown = record.sizeState == engine::SizeState::Complete;
    row.sizeText = row.sizeKnown ? sizeText(record.bytes) : failureText(record);
    row.zeroByte = row.sizeKnown && record.zeroByte;
    row.createdMs = record.created ? toMs(*record.created) : FolderRow::kNoTime;
    row.accessedMs = toMs(record.accessed);
    return row;
}

}  // namespace velmaro
