#include "cli/run_settings.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace usbio2 {
namespace {

std::vector<std::wstring> split(const std::wstring& line) {
    std::wistringstream in(line);
    std::vector<std::wstring> words;
    for (std::wstring word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

ParseResult parse(const std::wstring& line) { return parseArguments(split(line)); }

struct Slots {
    // {selected, port1, port2} for slots 0 to 3.
    std::array<std::array<std::int32_t, 3>, 4> rows{};
    std::int32_t waitMs = 0;
    std::int32_t highestIndex = 0;
};

Slots slotsOf(const RunSettings& settings) {
    Slots s;
    for (std::size_t i = 0; i < 4; ++i) {
        s.rows[i] = {settings.slots[i].selected, settings.slots[i].port1, settings.slots[i].port2};
    }
    s.waitMs = settings.waitMs;
    s.highestIndex = settings.highestIndex;
    return s;
}

struct ParseCase {
    std::wstring arguments;
    Slots expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    ::testing::internal::UniversalPrint(c.arguments, os);
}

class ParseAccepted : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseAccepted, FillsSettings) {
    const ParseResult result = parse(GetParam().arguments);
    ASSERT_TRUE(std::holds_alternative<RunSettings>(result));
    const Slots actual = slotsOf(std::get<RunSettings>(result));
    const Slots& expected = GetParam().expected;
    EXPECT_EQ(actual.rows, expected.rows);
    EXPECT_EQ(actual.waitMs, expected.waitMs);
    EXPECT_EQ(actual.highestIndex, expected.highestIndex);
}

// {selected, port1, port2} for slots 0..3, then waitMs and highestIndex.
INSTANTIATE_TEST_SUITE_P(
    Table, ParseAccepted,
    ::testing::Values(ParseCase{L"", {}}, ParseCase{L"5 6", {{{{1, 5, 6}}}}},
                      ParseCase{L"5", {{{{1, 5, 0}}}}},
                      ParseCase{L"/s1 255", {{{{0, 0, 0}, {1, 255, 0}}}, 0, 1}},
                      ParseCase{L"7 /s2 1 2 /t500", {{{{1, 7, 0}, {0, 0, 0}, {1, 1, 2}}}, 500, 2}},
                      ParseCase{L"/s1", {{{{0, 0, 0}, {1, 0, 0}}}, 0, 1}},
                      ParseCase{L"/s1 1 2 /s1 3", {{{{0, 0, 0}, {1, 3, 2}}}, 0, 1}},
                      ParseCase{L"/s3", {{{{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}}}, 0, 3}},
                      ParseCase{L"/S1", {{{{1, 0, 0}}}}}, ParseCase{L"/sx", {{{{1, 0, 0}}}}},
                      ParseCase{L"/tabc", {}},
                      ParseCase{L"/s2 1 /s1 1", {{{{0, 0, 0}, {1, 1, 0}, {1, 1, 0}}}, 0, 2}},
                      ParseCase{L"/s 1", {{{{1, 1, 0}}}}}, ParseCase{L"-1", {{{{1, -1, 0}}}}},
                      ParseCase{L"/t100 /t-5", {{}, -5, 0}},
                      ParseCase{L"/t1 5 /t2 6",
                                {{{{1, 5, 6}}}, 2, 0}},  // /t keeps the value position
                      ParseCase{L"/s0 1 2 /s1 3 4", {{{{1, 1, 2}, {1, 3, 4}}}, 0, 1}},
                      ParseCase{L"/x 7", {{{{1, 0, 7}}}}},  // an unknown switch is a value
                      ParseCase{L"/s\uFF12 \uFF15", {{{{0, 0, 0}, {0, 0, 0}, {1, 5, 0}}}, 0, 2}},
                      ParseCase{L"/s+1 9", {{{{0, 0, 0}, {1, 9, 0}}}, 0, 1}},
                      ParseCase{L"/s-0 9", {{{{1, 9, 0}}}}},
                      ParseCase{L"/s1x 9", {{{{0, 0, 0}, {1, 9, 0}}}, 0, 1}},
                      ParseCase{L"256 99999999999", {{{{1, 256, 2147483647}}}}},
                      ParseCase{L"/t99999999999", {{}, 2147483647, 0}}));

struct ErrorCase {
    std::wstring arguments;
    ArgumentError error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
    ::testing::internal::UniversalPrint(c.arguments, os);
}

class ParseRejected : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParseRejected, GivesTheError) {
    const ParseResult result = parse(GetParam().arguments);
    ASSERT_TRUE(std::holds_alternative<ArgumentError>(result));
    EXPECT_EQ(std::get<ArgumentError>(result), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseRejected,
                         ::testing::Values(ErrorCase{L"1 2 3", ArgumentError::valueLimit},
                                           ErrorCase{L"/s0 1 2 3", ArgumentError::valueLimit},
                                           ErrorCase{L"/s2 1 2 3", ArgumentError::valueLimit},
                                           ErrorCase{L"1 2 /t5 3", ArgumentError::valueLimit},
                                           ErrorCase{L"/s4", ArgumentError::indexLimit},
                                           ErrorCase{L"/s9", ArgumentError::indexLimit},
                                           ErrorCase{L"/s99999999999", ArgumentError::indexLimit},
                                           ErrorCase{L"5 6 /s4", ArgumentError::indexLimit},
                                           ErrorCase{L"/s\uFF14", ArgumentError::indexLimit},
                                           ErrorCase{L"/s-1", ArgumentError::negativeIndex},
                                           ErrorCase{L"/s-99999999999",
                                                     ArgumentError::negativeIndex},
                                           ErrorCase{L"/s1 /s-2 5", ArgumentError::negativeIndex},
                                           // The first error met wins.
                                           ErrorCase{L"/s-1 /s4", ArgumentError::negativeIndex},
                                           ErrorCase{L"/s4 /s-1", ArgumentError::indexLimit},
                                           ErrorCase{L"1 2 3 /s4", ArgumentError::valueLimit}));

// After "/s0", a bare value goes to port 1 of board 0 and no implicit
// selection happens on top; a third value is still the error.
TEST(ParseArguments, ExplicitSlotZeroCountsLikeAnyOther) {
    const auto settings = std::get<RunSettings>(parse(L"/s0 8"));
    EXPECT_EQ(settings.slots[0].port1, 8);
    EXPECT_EQ(settings.slots[0].port2, 0);
}

}  // namespace
}  // namespace usbio2
