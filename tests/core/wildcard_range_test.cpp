#include "app/ordinex_app.h"
#include "job/wildcard_range.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ordinex;

namespace {

// Every value of a set-up range in order, stopping after limit values so that
// a range that never finishes fails the test instead of hanging it.
std::vector<std::string> Values(WildCardRange& r, std::size_t limit = 1000) {
    std::vector<std::string> out{r.currentText};
    while (!r.finished && out.size() < limit) {
        r.Step();
        out.push_back(r.currentText);
    }
    return out;
}

struct RangeCase {
    const char* name;
    const char* start;
    const char* end;
    std::vector<std::string> values;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.start << ".." << c.end;
}

class RangeValues : public ::testing::TestWithParam<RangeCase> {};

TEST_P(RangeValues, StepsFromStartToEndAndCountsThem) {
    const RangeCase& c = GetParam();
    WildCardRange r;
    ASSERT_FALSE(r.Setup(1, c.start, c.end).has_value());
    EXPECT_EQ(r.count, static_cast<int64_t>(c.values.size()));
    EXPECT_EQ(Values(r), c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RangeValues,
    ::testing::Values(
        RangeCase{"swapped_numbers", "10", "9", {"9", "10"}},
        RangeCase{"swapped_letters", "c", "a", {"a", "b", "c"}},
        RangeCase{"zero_padded", "007", "012", {"007", "008", "009", "010", "011", "012"}},
        RangeCase{"width_grows", "8", "11", {"8", "9", "10", "11"}},
        RangeCase{"padded_width_grows", "098", "101", {"098", "099", "100", "101"}},
        RangeCase{"equal", "5", "5", {"5"}}, RangeCase{"letters_carry", "y", "ab", {"y", "z", "aa", "ab"}},
        RangeCase{"shorter_first", "ab", "b", {"b", "c", "d", "e", "f", "g", "h", "i",  "j",
                                               "k", "l", "m", "n", "o", "p", "q", "r",  "s",
                                               "t", "u", "v", "w", "x", "y", "z", "aa", "ab"}},
        RangeCase{"upper", "AY", "BB", {"AY", "AZ", "BA", "BB"}},
        // End texts that stepping never writes still end after count values.
        RangeCase{"start_wider_than_end", "005", "10", {"005", "006", "007", "008", "009", "010"}},
        RangeCase{"end_wider_than_start", "8", "010", {"8", "9", "10"}},
        RangeCase{"plus_sign", "+1", "3", {"+1", "2", "3"}},
        RangeCase{"leading_blank", " 1", "3", {" 1", "2", "3"}},
        RangeCase{"negative_to_positive", "-2", "1", {"-2", "-1", "0", "1"}},
        RangeCase{"negatives_by_value", "-3", "-5", {"-5", "-4", "-3"}},
        RangeCase{"padded_negative", "-03", "-01", {"-03", "-02", "-01"}},
        RangeCase{"beyond_32_bits", "9999999998", "10000000000", {"9999999998", "9999999999", "10000000000"}},
        RangeCase{"beyond_64_bits",
                  "99999999999999999999",
                  "100000000000000000000",
                  {"99999999999999999999", "100000000000000000000"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CountCase {
    const char* start;
    const char* end;
    int64_t count;
};

void PrintTo(const CountCase& c, std::ostream* os) {
    *os << c.start << ".." << c.end;
}

class RangeCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(RangeCounts, CountsBijectiveLetterValues) {
    WildCardRange r;
    ASSERT_FALSE(r.Setup(1, GetParam().start, GetParam().end).has_value());
    EXPECT_EQ(r.count, GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(Table, RangeCounts,
                         ::testing::Values(CountCase{"z", "a", 26}, CountCase{"a", "zz", 702},
                                           CountCase{"aa", "zz", 676}, CountCase{"ab", "b", 27},
                                           CountCase{"A", "ZZZZZZZ", 8353082582LL},
                                           CountCase{"1", "4294967296", 4294967296LL},
                                           CountCase{"0", "99999999999999999999999", INT64_MAX}),
                         [](const auto& info) {
                             return std::string(info.param.start) + "_" + std::to_string(info.index);
                         });

TEST(RangeSetup, ReportsTheThreeMessagesInOrder) {
    struct Case {
        const char* start;
        const char* end;
        const char* message;
    };
    const Case cases[] = {
        {"", "", kRangeEmptyMessage},           {"1", "", kRangeEmptyMessage},
        {"a1", "b", kRangeMixedMessage},        {"a", "", kRangeEmptyMessage},
        {"1.5", "2", kRangeMixedMessage},       {"A", "c", kRangeStartEndMixedMessage},
        {"1", "a", kRangeStartEndMixedMessage}, {"あ", "い", kRangeMixedMessage},
        {"1 ", "2", kRangeMixedMessage},
    };
    for (const auto& c : cases) {
        WildCardRange r;
        const auto message = r.Setup(1, c.start, c.end);
        ASSERT_TRUE(message.has_value()) << c.start << ".." << c.end;
        EXPECT_EQ(*message, c.message) << c.start << ".." << c.end;
        EXPECT_EQ(r.count, 1);
        EXPECT_EQ(r.startText, c.start);
    }
}

TEST(RangeSetup, DisabledRangeAcceptsAnythingAndKeepsOtherFields) {
    WildCardRange r;
    ASSERT_FALSE(r.Setup(1, "3", "4").has_value());
    r.Step();
    ASSERT_FALSE(r.Setup(0, "", "junk!").has_value());
    EXPECT_EQ(r.check, 0);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.endText, "junk!");
    EXPECT_EQ(r.currentText, "4"); // untouched by a disabled set-up
    EXPECT_EQ(r.kind, RangeKind::Number);
}

TEST(RangeSetup, FailureKeepsPreviousKindAndCurrentText) {
    WildCardRange r;
    ASSERT_FALSE(r.Setup(1, "a", "c").has_value());
    ASSERT_TRUE(r.Setup(1, "a", "1").has_value());
    EXPECT_EQ(r.kind, RangeKind::AlphabetSmall);
    EXPECT_EQ(r.currentText, "a");
    EXPECT_EQ(r.check, 1);
}

TEST(RangeReset, ReturnsToStart) {
    WildCardRange r;
    ASSERT_FALSE(r.Setup(1, "1", "2").has_value());
    EXPECT_TRUE(r.Step());
    r.Reset();
    EXPECT_EQ(r.currentText, "1");
    EXPECT_FALSE(r.finished);
}

// ---- The odometer over six ranges ----

std::vector<std::string> Combinations(COrdinexApp& app, std::size_t limit = 100000) {
    std::vector<std::string> out;
    do {
        std::string combo;
        for (const auto& r : app.ranges)
            if (r.check)
                combo += (combo.empty() ? "" : ",") + r.currentText;
        out.push_back(combo);
    } while (!app.AdvanceRanges() && out.size() < limit);
    return out;
}

TEST(AdvanceRanges, RangeOneIsTheFastestWheel) {
    COrdinexApp app;
    ASSERT_FALSE(app.ranges[0].Setup(1, "1", "3").has_value());
    ASSERT_FALSE(app.ranges[1].Setup(1, "a", "b").has_value());
    EXPECT_EQ(Combinations(app), (std::vector<std::string>{"1,a", "2,a", "3,a", "1,b", "2,b", "3,b"}));
    EXPECT_EQ(app.TotalCombinations(), 6);
}

TEST(AdvanceRanges, SkipsDisabledRangesBetweenEnabledOnes) {
    COrdinexApp app;
    ASSERT_FALSE(app.ranges[0].Setup(1, "5", "5").has_value());
    ASSERT_FALSE(app.ranges[2].Setup(1, "1", "2").has_value());
    ASSERT_FALSE(app.ranges[5].Setup(1, "A", "B").has_value());
    EXPECT_EQ(Combinations(app), (std::vector<std::string>{"5,1,A", "5,2,A", "5,1,B", "5,2,B"}));
}

TEST(AdvanceRanges, NoEnabledRangeGivesExactlyOneCombination) {
    COrdinexApp app;
    EXPECT_EQ(Combinations(app).size(), 1u);
    EXPECT_EQ(app.TotalCombinations(), 1);
}

TEST(AdvanceRanges, EndsForMismatchedNumberTexts) {
    COrdinexApp app;
    ASSERT_FALSE(app.ranges[0].Setup(1, "005", "10").has_value());
    ASSERT_FALSE(app.ranges[1].Setup(1, "1", "010").has_value());
    EXPECT_EQ(static_cast<int64_t>(Combinations(app).size()), app.TotalCombinations());
    EXPECT_EQ(app.TotalCombinations(), 60);
}

TEST(AdvanceRanges, TotalSaturatesInsteadOfOverflowing) {
    COrdinexApp app;
    for (int k = 0; k < kRangeCount; ++k)
        ASSERT_FALSE(app.ranges[k].Setup(1, "a", "zzzzzz").has_value());
    EXPECT_EQ(app.TotalCombinations(), INT64_MAX);
    ASSERT_FALSE(app.ranges[0].Setup(1, "1", "100000").has_value());
    for (int k = 1; k < 3; ++k)
        ASSERT_FALSE(app.ranges[k].Setup(1, "1", "100000").has_value());
    for (int k = 3; k < kRangeCount; ++k)
        app.ranges[k].check = 0;
    EXPECT_EQ(app.TotalCombinations(), 1000000000000000LL);
}

} // namespace
