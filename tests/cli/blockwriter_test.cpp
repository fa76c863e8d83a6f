// BlockWriter hands blocks to the system on its own thread: in the order
// they were put, each whole, all of them before finish() returns, also when
// the reader is slow and blocks wait, and a reused block's old text is gone.

#include "cli/BlockWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

TEST(BlockWriter, BlocksArriveWholeInOrderBeforeFinishReturns)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::FILE* out = ::fdopen(ends[1], "w");
    ASSERT_NE(out, nullptr);
    std::string received;
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let blocks wait
        char chunk[65536];
        for (ssize_t got; (got = ::read(ends[0], chunk, sizeof chunk)) > 0;)
            received.append(chunk, std::size_t(got));
    });
    std::string expected;
    {
        velmaro::cli::BlockWriter writer(out);
        for (int i = 0; i < 40; ++i) {
            // Large blocks past the stream's buffer and small ones through it.
            std::string block(i % 3 ? std::size_t(100000 + i) : std::size_t(10), char('a' + i % 26));
            block += std::to_string(i) + "\n";
            expected += block;
            writer.put(block);
            EXPECT_TRUE(block.empty()) << i;
        }
        writer.finish();
        std::fclose(out);  // after finish(): nothing may be left to write
    }
    reader.join();
    ::close(ends[0]);
    ASSERT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
}

}  // namespace
