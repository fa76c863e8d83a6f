#pragma once
// The records of one scan in the order they arrived, kept in the batches
// they came in: a record never moves once it is in the list, so pointers
// to it stay valid, and a scan's records are neither copied nor moved
// again when the list grows. Move-only. No Qt.

#include "engine/FolderRecord.h"

#include <cstddef>
#include <iterator>
#include <vector>

namespace velmaro::cli {

class RecordList {
    using Order = std::vector<const engine::FolderRecord*>;

public:
    // Walks the records in their order, as const FolderRecord&.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = engine::FolderRecord;
        using difference_type = std::ptrdiff_t;
        using pointer = const engine::FolderRecord*;
        using reference = const engine::FolderRecord&;

        const_iterator() = default;
        explicit const_iterator(Order::const_iterator at)
            : at_(at)
        {}
        reference operator*() const { return **at_; }
        pointer operator->() const { return *at_; }
        const_iterator& operator++()
        {
            ++at_;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++at_;
            return before;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        Order::const_iterator at_;
    };

    RecordList() = default;
    // A list of `records`, in their order.
    explicit RecordList(std::vector<engine::FolderRecord> records);
    RecordList(RecordList&&) = default;
    RecordList& operator=(RecordList&&) = default;
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    // Adds the records of `batch` at the end, in their order.
    void append(std::vector<engine::FolderRecord>&& batch);

    std::size_t size() const { return order_.size(); }
    bool empty() const { return order_.empty(); }
    const engine::FolderRecord& operator[](std::size_t i) const { return *order_[i]; }
    // The record at position i, to change in place (it does not move).
    engine::FolderRecord& at(std::size_t i) { return const_cast<engine::FolderRecord&>(*order_[i]); }
    const_iterator begin() const { return const_iterator(order_.begin()); }
    const_iterator end() const { return const_iterator(order_.end()); }
    // The position of `record`, a record of this list; size() for any
    // other. Does not read the record.
    std::size_t positionOf(const engine::FolderRecord* record) const;

private:
    // Where a batch lies and the position of its first record.
    struct Span {
        const engine::FolderRecord* begin;
        const engine::FolderRecord* end;
        std::size_t first;
    };

    std::vector<std::vector<engine::FolderRecord>> batches_;
    Order order_;
    // The first span that starts above `address`.
    std::vector<Span>::const_iterator spanAfter(const engine::FolderRecord* address) const;

    std::vector<Span> spans_;  // by address
};

}  // namespace velmaro::cli
