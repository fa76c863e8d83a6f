#pragma once
// Stable sort of rows by 64-bit keys: a least-significant-digit radix sort
// in digits of at most 11 bits, skipping the digits in which all keys agree
// (ranks, sizes and times differ in a few low digits only). Linear time.
// When the keys' range (highest - lowest) and the row numbers fit together
// in 64 bits, each row is sorted as one word, (key - lowest) above the row,
// and only the digits of the range are passed over: a million rows in a few
// passes over 8 MB. Otherwise {key, row} pairs are sorted, 16 MB per pass.

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
