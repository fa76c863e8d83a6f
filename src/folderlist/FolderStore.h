#pragma once
// The folders of the folder list, compactly: FolderSlots (numbers, parent,
// name once) plus the few texts that stand in for a size (failure texts) and
// the devices and mounts, each stored once. Cell texts are made on demand.
//
// Rows are slots that have been filled (RowBatch). Counts are running
// totals. Sizes are shown as FolderRowBuilder::sizeText in the locale that
// was the default when the store was made or last cleared. Up to 65535
// different texts stand in for sizes; beyond that a row shows its number.

#include "rows/FolderRow.h"
#include "folderlist/FolderSlots.h"
#include "folderlist/RowBatch.h"
#include "rows/FolderRowBuilder.h"

#include <QHash>
#include <map>
#include <tuple>
#include <vector>

namespace velmaro {

class FolderStore {
public:
    FolderStore();

    // Adds the batch's slots and rows and appends the slots that became rows
    // to `filled`. False (and nothing added) when the batch does not start at
    // slotCount() or names a slot that does not exist or is a row already.
    bool append(const RowBatch& batch, std::vector<quint32>& filled);
    // Forgets every slot; the size texts follow the locale of now.
    void clear();

    const FolderSlots& table() const { return slots_; }
    quint32 slotCount() const { return slots_.size(); }
    qint64 rowCount() const { return rows_; }
    qint64 zeroByteCount() const { return zeroBytes_; }
    // The scanned folder's slot, FolderSlot::kNoParent while it has no row.
    quint32 rootSlot() const { return root_; }
    // Every text that stands in for a size, each once.
    const std::vector<QString>& sizeStandIns() const { return texts_; }

    // Of a slot that is a row:
    QString name(quint32 slot) const;
    QString path(quint32 slot) const;
    QString sizeText(quint32 slot) const;
    engine::FolderIdentity identity(quint32 slot) const;
    FolderRow row(quint32 slot) const;

private:
    using Volume = std::tuple<quint64, quint64, bool>;  // dev, mount id, mount id known
    quint16 volumeOf(const engine::FolderIdentity& id);
    quint16 textOf(const QString& text);
    bool checkBatch(const RowBatch& batch) const;

    FolderSlots slots_;
    FolderRowBuilder sizeTexts_;
    std::vector<QString> texts_;  // texts_[i - 1] for FolderSlot::text i
    QHash<QString, quint16> textNumbers_;
    std::vector<Volume> volumes_;
    std::map<Volume, quint16> volumeNumbers_;
    qint64 rows_ = 0;
    qint64 zeroBytes_ = 0;
    quint32 root_ = FolderSlot::kNoParent;
};

}  // namespace velmaro
