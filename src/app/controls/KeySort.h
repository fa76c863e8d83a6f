#pragma once
// Stable sort of rows by 64-bit keys: a least-significant-digit radix sort
// in 11-bit digits, skipping the digits in which all keys agree (ranks,
// sizes and times differ in a few low digits only). Linear time; a million
// rows in a few passes over 16 MB.

#include <QtGlobal>
#include <vector>

namespace velmaro {

class KeySort {
public:
    // Reorders `rows` by ascending keyOf[row]; rows with equal keys keep
    // their order. `sortedKeys`, when given, receives the keys in the new
    // order of the rows.
    static void sort(std::vector<quint32>& rows, const std::vector<quint64>& keyOf,
                     std::vector<quint64>* sortedKeys = nullptr);
};

}  // namespace velmaro
