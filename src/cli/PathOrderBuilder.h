#pragma once
// The path order of a walk's records (as PathOrder::of gives it), built
// while they arrive. A walk hands a folder's record over after those of all
// its subfolders, so when a folder arrives its subfolders are known and are
// sorted then, by their names (PathOrder::nameKey, nameLess). At the end
// only the tree is walked, in pre-order. No Qt.
//
// Contract: add() every record of one RecordList in its order, each once;
// the records must stay where they are (a RecordList keeps them so) until
// positions() is called. positions() gives the positions of all of them in
// byte-wise path order. It is empty where the records are not one walk's: a
// record without walk numbers or with a number given twice, a folder that
// arrives before one of its subfolders, a subfolder whose folder has no
// record, or not exactly one root. PathOrder::of then orders them.

#include "engine/FolderRecord.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmaro::cli {

class PathOrderBuilder {
public:
    void add(const engine::FolderRecord& record);
    std::vector<uint32_t> positions() const;

private:
    static constexpr uint32_t kNone = UINT32_MAX;
    // A record that arrived, by its position.
    struct Arrived {
        uint64_t key = 0;        // PathOrder::nameKey of its name
        std::string_view name;   // the record's own
        uint32_t firstChild = 0;  // its subfolders: sorted_[firstChild .. + childCount)
        uint32_t childCount = 0;
        uint32_t nextSibling = kNone;  // the subfolder of the same folder that arrived before it
    };

    bool link(const engine::FolderRecord& record, uint32_t position);
    void sortSubfolders(uint32_t position, engine::WalkIndex index);
    static void grow(std::vector<uint32_t>& byIndex, engine::WalkIndex index);

    std::vector<Arrived> arrived_;
    std::vector<uint32_t> positionOf_;    // by walk number
    std::vector<uint32_t> lastSubfolder_; // by walk number: the position of its last subfolder to arrive
    std::vector<uint32_t> sorted_;
    std::vector<uint32_t> scratch_;
    uint32_t root_ = kNone;
    bool broken_ = false;  // not one walk's records
};

}  // namespace velmaro::cli
