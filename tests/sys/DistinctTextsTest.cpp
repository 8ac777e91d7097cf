// Texts kept once each, and pick-list texts with letter case ignored the Czech way.

#include "platform/sys/DistinctTexts.h"

#include "platform/sys/CzechText.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

TEST(UniqueTexts, NumbersEachTextOnceInTheOrderAdded)
{
    sys::UniqueTexts set;
    EXPECT_EQ(set.Add("Čapek"), (std::pair<std::size_t, bool>{0, true}));
    EXPECT_EQ(set.Add("čapek"), (std::pair<std::size_t, bool>{1, true})); // letter case counts here
    EXPECT_EQ(set.Add(""), (std::pair<std::size_t, bool>{2, true}));
    EXPECT_EQ(set.Add("Čapek"), (std::pair<std::size_t, bool>{0, false}));
    EXPECT_EQ(set.Add(std::string_view("Čapek\0x", 8)), (std::pair<std::size_t, bool>{3, true}));

    // Many texts: each found again after the set grew past it.
    for (int i = 0; i < 20000; ++i)
        ASSERT_TRUE(set.Add("K" + std::to_string(i)).second) << i;
    for (int i = 0; i < 20000; i += 7)
        ASSERT_EQ(set.Add("K" + std::to_string(i)), (std::pair<std::size_t, bool>{4 + i, false})) << i;
    EXPECT_EQ(set.Size(), 20004u);
    EXPECT_EQ(set[1], "čapek");

    const Texts taken = set.Take();
    EXPECT_EQ(taken.size(), 20004u);
    EXPECT_EQ(taken[4], "K0");
    EXPECT_EQ(set.Size(), 0u);
    EXPECT_TRUE(set.Add("K0").second); // empty and usable again
}

TEST(FirstOfEachIgnoringCase, KeepsTheFirstWrittenFormOfEachText)
{
    EXPECT_EQ(sys::FirstOfEachIgnoringCase({"čapek", "Němcová", "", "Čapek", "ČAPEK", "Tolstoj", "němcová", ""}),
              (Texts{"čapek", "Němcová", "Tolstoj"}));
    // Texts of ASCII letters only, mixed with Czech ones; accents still count.
    EXPECT_EQ(sys::FirstOfEachIgnoringCase({"K1", "k1", "Capek", "Čapek", "CAPEK", "Žák 9.A", "žák 9.a", "ŽÁK 9.B"}),
              (Texts{"K1", "Capek", "Čapek", "Žák 9.A", "ŽÁK 9.B"}));
    EXPECT_TRUE(sys::FirstOfEachIgnoringCase({"", ""}).empty());
}

TEST(FirstOfEachIgnoringCase, AgreesWithLowerCzechOnManyTexts)
{
    // Generated texts in several letter cases; the result is what a plain set of LowerCzech
    // forms keeps.
    const char* words[] = {"Řeka", "ŘEKA", "řeka", "Les", "LES", "Šťastný", "ŠŤASTNÝ", "Ďábel", "ďábel", "Ch", "CH"};
    Texts texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(std::string(words[i % std::size(words)]) + " " + std::to_string(i % 97));
    Texts expected;
    std::unordered_set<std::string> seen;
    for (const std::string& text : texts)
        if (seen.insert(sys::LowerCzech(text)).second)
            expected.push_back(text);
    EXPECT_EQ(sys::FirstOfEachIgnoringCase(texts), expected);
}

} // namespace
