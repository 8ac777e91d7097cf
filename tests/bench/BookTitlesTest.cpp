#include "BookTitles.h"

#include "platform/sys/CzechText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Titles(unsigned seed, int count)
{
    std::mt19937 random(seed);
    std::vector<std::string> titles;
    for (int i = 0; i < count; ++i)
        titles.push_back(bench::BookTitle(random));
    return titles;
}

std::vector<std::string> Words(const std::string& title)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = title.find(' ', start);
        words.push_back(title.substr(start, end - start));
        if (end == std::string::npos)
            return words;
        start = end + 1;
    }
}

TEST(BookTitles, TheSameSeedGivesTheSameTitles)
{
    EXPECT_EQ(Titles(7, 500), Titles(7, 500));
    EXPECT_NE(Titles(7, 500), Titles(8, 500));
}

TEST(BookTitles, LookLikeTitlesOfASchoolLibrary)
{
    const std::vector<std::string> titles = Titles(20240901, 20000);
    std::set<std::string> distinct;
    int withDiacritics = 0;
    int withVolume = 0;
    for (const std::string& title : titles) {
        SCOPED_TRACE(title);
        const std::vector<std::string> words = Words(title);
        ASSERT_GE(words.size(), 1u);
        ASSERT_LE(words.size(), 6u);
        for (const std::string& word : words)
            EXPECT_FALSE(word.empty()); // no leading, trailing or double spaces
        // Starts with a capital letter.
        const std::string first(sys::TruncateUtf8(title, 1));
        EXPECT_EQ(sys::UpperCzech(first), first);
        EXPECT_NE(sys::LowerCzech(first), first);
        // A title of one word is a real word, not a preposition or a conjunction.
        if (words.size() == 1) {
            EXPECT_GE(sys::Utf8Length(title), 3u);
        }
        distinct.insert(title);
        if (sys::Utf8Length(title) != title.size())
            ++withDiacritics;
        if (title.find_first_of("0123456789") != std::string::npos)
            ++withVolume;
    }
    EXPECT_GT(distinct.size(), 5000u);
    EXPECT_GT(withDiacritics, 20000 / 3);
    EXPECT_GT(withVolume, 20000 / 20);
}

TEST(BookTitles, AdjectivesAgreeWithTheirNouns)
{
    // Feminine and neuter nouns never follow the masculine -ý form.
    for (const std::string& title : Titles(3, 5000)) {
        for (const char* wrong : {"ý princezna", "ý řeka", "ý jezero", "ý pověsti", "ý tajemství", "ý hvězda"})
            EXPECT_EQ(title.find(wrong), std::string::npos) << title;
    }
}

} // namespace
