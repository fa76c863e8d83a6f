#include "map/MapTexts.h"

#include "rows/LocaleText.h"

#include <QLocale>
#include <QStringList>

namespace velmaro {

namespace {

QString dateText(qint64 ms)
{
    if (ms == FolderSlot::kNoTime)
        return QString();
    return platform::generalDateText(QDateTime::fromMSecsSinceEpoch(ms));
}

QString sizeLine(const MapTree& tree, quint32 node)
{
    QString text = MapTexts::readableSize(tree.bytes(node));
    if (!tree.sizeKnown(node) && !tree.isFiles(node))
        text += QStringLiteral(", unvollständig");
    return text;
}

}  // namespace

QString MapTexts::readableSize(quint64 bytes)
{
    const QLocale locale;
    const QString exact = locale.toString(bytes) + QStringLiteral(" Byte");
    if (bytes < 1024)
        return exact;
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    return locale.toString(value, 'f', 1) + QLatin1Char(' ') + QLatin1String(units[unit]) +
           QStringLiteral(" (") + exact + QLatin1Char(')');
}

QString MapTexts::title(const MapTree& tree, quint32 node)
{
    if (tree.isFiles(node))
        return QStringLiteral("Dateien in ") + tree.name(node);
    return tree.name(node);
}

QString MapTexts::tooltip(const MapTree& tree, quint32 node)
{
    QStringList lines{title(tree, node), tree.path(node), QStringLiteral("Größe: ") + sizeLine(tree, node)};
    const QString accessed = dateText(tree.accessedMs(node));
    if (!accessed.isEmpty())
        lines << QStringLiteral("Letzter Zugriff: ") + accessed;
    const QString created = dateText(tree.createdMs(node));
    if (!created.isEmpty())
        lines << QStringLiteral("Erstellt: ") + created;
    return lines.join(QLatin1Char('\n'));
}

QString MapTexts::description(const MapTree& tree, quint32 node)
{
    QString text = title(tree, node) + QStringLiteral(", ") + sizeLine(tree, node);
    const QString accessed = dateText(tree.accessedMs(node));
    if (!accessed.isEmpty())
        text += QStringLiteral(", letzter Zugriff ") + accessed;
    return text;
}

}  // namespace velmaro
