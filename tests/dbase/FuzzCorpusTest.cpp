// Replays the fuzz corpus through the fuzz entry: every file must be read without a crash and
// without an exception other than the component's own.

#include "fuzz/DBaseFuzzEntry.h"

#include "DBaseTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(FuzzCorpus, EveryInputIsReadSafely) {
    const std::filesystem::path corpus = LENDAR_DBASE_CORPUS_DIR;
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
