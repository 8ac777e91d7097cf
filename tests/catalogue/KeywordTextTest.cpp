// The keyword text of a book: written and read back, and texts as other programs left them.

#include "catalogue/KeywordText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using catalogue::JoinKeywords;
using catalogue::SplitKeywords;
using Items = std::vector<std::string>;

namespace {

struct Written {
    const char* name;
    Items items;
    std::string text;
};

class KeywordJoinTest : public ::testing::TestWithParam<Written> {};

// Each list is written as expected and reads back as the same list.
TEST_P(KeywordJoinTest, WritesAndReadsBack)
{
    EXPECT_EQ(JoinKeywords(GetParam().items), GetParam().text);
    EXPECT_EQ(SplitKeywords(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, KeywordJoinTest,
    ::testing::Values(Written{"Nothing", {}, ""}, Written{"Plain", {"pohádky", "zvířata", "les"}, "pohádky,zvířata,les"},
                      Written{"TwoWords", {"druhá světová válka", "Praha"}, "\"druhá světová válka\",Praha"},
                      Written{"Comma", {"a,b"}, "\"a,b\""},
                      Written{"InnerQuotes", {"kniha \"Babička\"", "x"}, "\"kniha \"\"Babička\"\"\",x"},
                      Written{"QuoteOnly", {"\""}, "\"\"\"\""}, Written{"Tab", {"a\tb"}, "\"a\tb\""},
                      Written{"NewLine", {"a\nb", "c"}, "\"a\nb\",c"}, Written{"OneEmpty", {""}, "\"\""},
                      Written{"EmptyInside", {"a", "", "b"}, "a,,b"}, Written{"EmptyLast", {"a", ""}, "a,"},
                      Written{"Apostrophe", {"O'Neill"}, "O'Neill"}),
    [](const auto& p) { return std::string(p.param.name); });

struct Read {
    const char* name;
    std::string text;
    Items items;
};

class KeywordSplitTest : public ::testing::TestWithParam<Read> {};

TEST_P(KeywordSplitTest, ReadsAsListed)
{
    EXPECT_EQ(SplitKeywords(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeywordSplitTest,
    ::testing::Values(
        // A blank outside quotes separates, as a comma does.
        Read{"UnquotedBlank", "druhá válka", {"druhá", "válka"}},
        Read{"BlanksAroundCommas", "  a ,  b  ", {"a", "b"}},
        Read{"BlanksOnly", "   ", {}},
        Read{"LeadingComma", ",a", {"", "a"}},
        Read{"TwoCommasAtEnd", "a,,", {"a", "", ""}},
        Read{"CommaAndBlankAtEnd", "a, ", {"a"}},
        Read{"QuoteFollowedByText", "\"ab\"cd", {"ab", "cd"}},
        Read{"UnclosedQuote", "a,\"b c", {"a", "b c"}},
        Read{"QuoteInsideWord", "ab\"c", {"ab\"c"}},
        Read{"ControlCharacters", "\x01\x02" "a", {"a"}},
        Read{"CzechLettersAreNotBlanks", "čeština,ŘÍŠE", {"čeština", "ŘÍŠE"}}),
    [](const auto& p) { return std::string(p.param.name); });

// Ten long two-word keywords, as the book dialog allows, survive the round trip intact.
TEST(KeywordText, TenQuotedKeywordsRoundTrip)
{
    Items items;
    for (int i = 0; i < 10; ++i)
        items.push_back("klíčové slovo \"" + std::to_string(i) + "\", s čárkou");
    EXPECT_EQ(SplitKeywords(JoinKeywords(items)), items);
}

} // namespace
