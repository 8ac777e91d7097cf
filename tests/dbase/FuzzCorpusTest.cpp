// Replays the fuzz corpus through the fuzz entry: every file must be read without a crash and
// without an exception other than the component's own.

#include "fuzz/DBaseFuzzEntry.h"

#include "DBaseTestSupport.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

TEST(FuzzCorpus, EveryInputIsReadSafely) {
    const char* source = std::getenv("LENDAR_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::filesystem::path corpus = std::filesystem::path(source) / "fuzz" / "corpus";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string bytes = dbasetest::ReadFile(entry.path().string());
        EXPECT_NO_THROW(dbasefuzz::ReadEverything(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
            << entry.path();
        ++count;
    }
    EXPECT_GT(count, 0);
}

} // namespace
