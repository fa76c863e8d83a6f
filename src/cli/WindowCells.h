#pragma once
// The size and date fields of the window form of `velmaro list`, as UTF-8,
// byte for byte the texts the window shows (FolderRowBuilder::sizeText,
// platform::generalDateText of the local time), made without building a
// whole row for each folder.
//
// - Sizes: written digit by digit when the locale writes plain ASCII digits
//   (checked against FolderRowBuilder once, on construction); otherwise
//   through FolderRowBuilder.
// - Dates: a date text depends only on the whole second, so the last texts
//   are kept by second and many folders made or read in the same second
//   share one conversion to local time.
// Not thread-safe (the date cache).

#include "engine/FolderRecord.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmaro {
class FolderRowBuilder;
}

namespace velmaro::cli {

class WindowCells {
public:
    explicit WindowCells(const FolderRowBuilder& builder);
    ~WindowCells();

    // Appends the size text of a complete size of `bytes`.
    void appendSize(std::string& out, uint64_t bytes) const;
    // Appends the window's text of `time` (empty when it has none).
    void appendDate(std::string& out, const engine::FileTime& time);

private:
    struct CachedDate {
        int64_t seconds = 0;
        bool filled = false;
        std::string text;
    };

    const FolderRowBuilder& builder_;
    bool plainDigits_ = false;  // appendSize may write the digits itself
    std::string decimalPoint_;
    bool cacheDates_ = false;   // the time format shows whole seconds at most
    std::vector<CachedDate> dates_;
};

}  // namespace velmaro::cli
