// Prepared text: every piece reads back as it was put, wherever it landed,
// across blocks and for a piece larger than a block.

#include "cli/PreparedText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using velmaro::cli::PreparedText;

TEST(PreparedText, PiecesReadBackUnchangedAcrossBlocks)
{
    PreparedText text;
    std::vector<std::string> pieces;
    std::vector<PreparedText::Place> places;
    std::size_t total = 0;
    for (int i = 0; total < 3 * PreparedText::kBlockBytes; ++i) {
        std::string piece = std::to_string(i) + std::string(std::size_t(i * 7919 % 4000), char('a' + i % 26)) + "\n";
        if (i == 500)
            piece = std::string(PreparedText::kBlockBytes + 12345, 'x') + "\n";  // larger than a block
        if (i == 501)
            piece.clear();
        total += piece.size();
        places.push_back(text.add(piece));
        pieces.push_back(std::move(piece));
    }
    ASSERT_GE(places.back().block, 2u);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        ASSERT_EQ(text.at(places[i]), pieces[i]) << i;
}

}  // namespace
