#pragma once
// Everything the command line writes to its standard output goes through
// here, so that a write that fails (a full disk, a pipe whose reader is
// gone) is remembered with its cause and the command does not end in
// "all done". No Qt.

#include <cstddef>
#include <cstdio>
#include <string>

namespace velmaro::cli {

class Output {
public:
    // Writes `size` bytes to `stream`; from kBlock bytes on past the
    // stream's buffer (after flushing it), so the order is kept.
    static void write(std::FILE* stream, const char* data, std::size_t size);
    static constexpr std::size_t kBlock = 1 << 16;
    static void write(const std::string& text) { write(stdout, text.data(), text.size()); }
    // Hands what stdout buffers to the system.
    static void flush();
    // Flushes stdout. 0 when everything written to stdout so far reached
    // the system, else the errno of the first failure (EIO where the system
    // gave none).
    static int finish();

private:
    static void writeBlock(std::FILE* stream, const char* data, std::size_t size);
};

}  // namespace velmaro::cli
