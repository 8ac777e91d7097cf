#include "platform/sys/CzechText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> SortedCzech(std::vector<std::string> words)
{
    std::sort(words.begin(), words.end(),
              [](const std::string& a, const std::string& b) { return sys::CompareCzech(a, b) < 0; });
    return words;
}

TEST(CzechOrder, FollowsTheCzechAlphabet)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SortedCzech({"Dvořák", "Čapek", "Cibulka"}), (V{"Cibulka", "Čapek", "Dvořák"}));
    // "ch" is a letter of its own between "h" and "i".
    EXPECT_EQ(SortedCzech({"Ivan", "Chalupa", "Hora", "Cyril"}), (V{"Cyril", "Hora", "Chalupa", "Ivan"}));
    EXPECT_EQ(SortedCzech({"Růžička", "Řezáč", "Rys", "Sova", "Šebek", "Zeman", "Žák"}),
              (V{"Růžička", "Rys", "Řezáč", "Sova", "Šebek", "Zeman", "Žák"}));
    // Accents on other letters only decide between otherwise equal words.
    EXPECT_EQ(SortedCzech({"dale", "dál", "dal"}), (V{"dal", "dál", "dale"}));
    EXPECT_EQ(SortedCzech({"Abd", "abc", "ABC"}).back(), "Abd");
}

TEST(CzechOrder, EqualityAndSymmetry)
{
    EXPECT_EQ(sys::CompareCzech("Dvořák", "Dvořák"), 0);
    EXPECT_EQ(sys::CompareCzech("", ""), 0);
    EXPECT_LT(sys::CompareCzech("", "a"), 0);
    EXPECT_NE(sys::CompareCzech("abc", "ABC"), 0);
    EXPECT_EQ(sys::CompareCzech("abc", "ABC"), -sys::CompareCzech("ABC", "abc"));
    const int broken = sys::CompareCzech("a\xff", "a\xc5"); // invalid UTF-8 does not crash
    EXPECT_TRUE(broken >= -1 && broken <= 1);
}

// Keys made for a whole column at once (on several threads) are the keys made one by one, in the
// texts' order, ill-formed and empty texts included, and they order the texts as the collation does.
TEST(CzechOrder, KeysOfManyTextsAreTheKeysOfEach)
{
    const std::vector<std::string> words = {"Čapek", "chata", "Hora", "", "Dvořák", "řeka", "Řeka", "a\xff b", "Žák 12"};
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < 40000; ++i)
        texts.push_back(words[i % words.size()] + (i % 7 == 0 ? std::string() : " " + std::to_string(i % 1000)));
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    const std::vector<std::string> keys = sys::SortKeysCzech(views);
    ASSERT_EQ(keys.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string one;
        sys::AppendSortKeyCzech(texts[i], one);
        ASSERT_EQ(keys[i], one) << i;
    }
    for (std::size_t i = 1; i < 200; ++i) {
        const int byKey = keys[i - 1] < keys[i] ? -1 : keys[i - 1] > keys[i] ? 1 : 0;
        EXPECT_EQ(byKey, sys::CompareCzech(texts[i - 1], texts[i])) << texts[i - 1] << " / " << texts[i];
    }
    EXPECT_TRUE(sys::SortKeysCzech({}).empty());
}

TEST(CzechCase, UpperAndLowerCoverCzechLetters)
{
    EXPECT_EQ(sys::UpperCzech("příliš žluťoučký kůň úpěl ďábelské ódy"),
              "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
    EXPECT_EQ(sys::LowerCzech("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"),
              "příliš žluťoučký kůň úpěl ďábelské ódy");
    EXPECT_EQ(sys::UpperCzech(""), "");
    EXPECT_EQ(sys::UpperCzech("ab\xff"), "AB\xff");
}

struct SamePair {
    const char* a;
    const char* b;
    bool same;
};

class SameText : public testing::TestWithParam<SamePair> {};

TEST_P(SameText, IgnoresCaseButNotAccents)
{
    EXPECT_EQ(sys::SameTextCzech(GetParam().a, GetParam().b), GetParam().same);
    EXPECT_EQ(sys::SameTextCzech(GetParam().b, GetParam().a), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(, SameText,
                         testing::Values(SamePair{"Řehoř", "ŘEHOŘ", true}, SamePair{"ďábel", "ĎÁBEL", true},
                                         SamePair{"Path", "PATH", true}, SamePair{"", "", true},
                                         SamePair{"Čapek", "Capek", false}, SamePair{"abc", "ab", false},
                                         SamePair{"a", "", false}, SamePair{"\xff", "\xff", true},
                                         SamePair{"\xff", "\xfe", false}, SamePair{"č", "\xc4", false}));

struct LikeCase {
    const char* text;
    const char* pattern;
    bool match;
};

class Like : public testing::TestWithParam<LikeCase> {};

TEST_P(Like, Matches)
{
    EXPECT_EQ(sys::LikeCzech(GetParam().text, GetParam().pattern), GetParam().match)
        << GetParam().text << " LIKE " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    , Like,
    testing::Values(
        LikeCase{"Babička", "Bab%", true}, LikeCase{"babička", "BAB%", true},
        LikeCase{"Babička", "%IČKA", true}, LikeCase{"BABIČKA", "%ička", true},
        LikeCase{"Babička", "%ICKA", false}, LikeCase{"Babička", "Bab_čka", true},
        LikeCase{"Babička", "Babi_ka", true}, LikeCase{"Babička", "Bab_cka", false},
        LikeCase{"Babička", "Babička_", false}, LikeCase{"Babička", "Babi", false},
        LikeCase{"ŽÁK", "žák", true}, LikeCase{"žák", "_á_", true}, LikeCase{"žák", "___", true},
        LikeCase{"žák", "__", false}, LikeCase{"", "", true}, LikeCase{"", "%", true},
        LikeCase{"", "%%", true}, LikeCase{"", "_", false}, LikeCase{"a", "", false},
        LikeCase{"abc", "a%c", true}, LikeCase{"abc", "a%%c", true}, LikeCase{"ac", "a%_c", false},
        LikeCase{"abc", "a%_c", true}, LikeCase{"abbbc", "a%bc", true},
        LikeCase{"mississippi", "%s%s%ippi", true}, LikeCase{"mississippi", "%s%s%ipi", false},
        LikeCase{"Nový Dvůr", "%ý d%", true}, LikeCase{"a\xff" "b", "a_b", true},
        LikeCase{"a\xff" "b", "a%b", true}, LikeCase{"\xff", "\xfe", false},
        LikeCase{"100%", "100%", true}, LikeCase{"Malý princ", "%PRINC", true}));

TEST(LikeSpeed, BacktrackingStaysLinearEnough)
{
    const std::string text(20000, 'a');
    EXPECT_FALSE(sys::LikeCzech(text, "%a%a%a%a%a%a%a%b"));
    EXPECT_TRUE(sys::LikeCzech(text + "b", "%a%a%a%a%a%a%a%b"));
}

TEST(Utf8Width, CountsAndCutsCharactersNotBytes)
{
    EXPECT_EQ(sys::Utf8Length("Žluťoučký"), 9u);
    EXPECT_EQ(sys::Utf8Length(""), 0u);
    EXPECT_EQ(sys::Utf8Length("a\xff" "b"), 3u);
    EXPECT_EQ(sys::Utf8Length("€𝄞"), 2u);
    EXPECT_EQ(sys::TruncateUtf8("Žluťoučký", 3), "Žlu");
    EXPECT_EQ(sys::TruncateUtf8("Žluťoučký", 0), "");
    EXPECT_EQ(sys::TruncateUtf8("Žluťoučký", 9), "Žluťoučký");
    EXPECT_EQ(sys::TruncateUtf8("Žluťoučký", 100), "Žluťoučký");
    EXPECT_EQ(sys::TruncateUtf8("a\xc5", 2), "a\xc5");
    EXPECT_EQ(sys::TruncateUtf8("𝄞x", 1), "𝄞");
}

} // namespace
