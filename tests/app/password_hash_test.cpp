#include "app/password/PasswordHash.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NormaliseCase {
    const char* typed;
    const char* expected;
};

class NormaliseTest : public testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, LowersOnlyAsciiCapitals) {
    EXPECT_EQ(password::Normalise(GetParam().typed), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormaliseTest,
                         testing::Values(NormaliseCase{"", ""}, NormaliseCase{"AbcXYZ", "abcxyz"},
                                         NormaliseCase{"Heslo 123!", "heslo 123!"},
                                         NormaliseCase{"ŽLUŤOUČKÝ", "ŽluŤouČkÝ"},
                                         NormaliseCase{"[@`{", "[@`{"}));

TEST(PasswordHash, StoredFormIsASaltedHashNotThePassword) {
    const auto first = password::Hash("Tajne heslo");
    const auto second = password::Hash("Tajne heslo");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->rfind("$argon2id$", 0), 0u) << *first;
    EXPECT_EQ(first->find("ajne"), std::string::npos);
    EXPECT_NE(*first, *second); // a fresh salt each time
    EXPECT_TRUE(password::Verify(*first, "Tajne heslo"));
    EXPECT_TRUE(password::Verify(*second, "Tajne heslo"));
}

struct VerifyCase {
    const char* stored_from;
    const char* typed;
    bool accepted;
};

class VerifyTest : public testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyTest, MatchesUnderTheCaseRule) {
    const auto stored = password::Hash(GetParam().stored_from);
    ASSERT_TRUE(stored);
    EXPECT_EQ(password::Verify(*stored, GetParam().typed), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerifyTest,
    testing::Values(VerifyCase{"KniHovna", "kNIhOVNA", true}, VerifyCase{"knihovna", "knihovna ", false},
                    VerifyCase{"čtenář", "ČTENÁŘ", false}, VerifyCase{"Čtenář", "čtenář", false},
                    VerifyCase{"#1 €", "#1 €", true}, VerifyCase{"", "", true}, VerifyCase{"x", "", false}));

TEST(PasswordHash, StoredTextThatIsNoHashMatchesNothing) {
    const auto good = password::Hash("abc");
    ASSERT_TRUE(good);
    for (const std::string& stored :
         {std::string(), std::string("abc"), std::string("101102103"), good->substr(0, good->size() - 4),
          *good + std::string(200, 'x'), std::string("$argon2id$") + std::string(1000, 'a')}) {
        EXPECT_FALSE(password::Verify(stored, "abc")) << stored;
        EXPECT_FALSE(password::Verify(stored, "")) << stored;
    }
}

} // namespace
