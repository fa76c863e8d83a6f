#pragma once
// Stable sort of rows by 64-bit keys: a least-significant-digit radix sort
// in bytes, skipping the bytes in which all keys agree (ranks and times
// differ in a few low bytes only). Linear time; a million rows in a few
// passes over 16 MB.

#include <QtGlobal>
#include <vector>

namespace velmaro {

class KeySort {
public:
    // Reorders `rows` by ascending `keys[i]` (the key of rows[i]); rows with
    // equal keys keep their order.
    static void sort(std::vector<quint32>& rows, const std::vector<quint64>& keys);
};

}  // namespace velmaro
