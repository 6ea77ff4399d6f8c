#include "cli/number_rule.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace usbio2 {
namespace {

constexpr char32_t kDigitRuns[] = {0x0030, 0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66,
                                   0x0AE6, 0x0B66, 0x0C66, 0x0CE6, 0x0D66, 0x0E50,
                                   0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};

std::wstring digitsOf(char32_t zero, std::string_view ascii) {
    std::wstring text;
    for (char c : ascii) {
        text += (c >= '0' && c <= '9') ? static_cast<wchar_t>(zero + static_cast<char32_t>(c - '0'))
                                       : static_cast<wchar_t>(c);
    }
    return text;
}

TEST(NumberRule, EveryDigitOfEveryRunCounts) {
    for (char32_t zero : kDigitRuns) {
        EXPECT_EQ(parseNumber(digitsOf(zero, "1234567890")), 1234567890)
            << std::hex << static_cast<unsigned>(zero);
        EXPECT_EQ(parseNumber(digitsOf(zero, "-98")), -98)
            << std::hex << static_cast<unsigned>(zero);
        for (int d = 0; d < 10; ++d) {
            EXPECT_EQ(digitValue(zero + static_cast<char32_t>(d)), d);
        }
        // The code points just outside a run are not digits of it.
        EXPECT_NE(digitValue(zero + 10), 0);
    }
}

TEST(NumberRule, NeighboursOfTheRunsAreNotDigits) {
    for (char32_t c : {U'/', U':', U'\x065F', U'\x066A', U'\xFF0F', U'\xFF1A', U'\x0E5A', U'\x1819',
                       U'\x181A', U'\xFF41'}) {
        const int value = digitValue(c);
        EXPECT_TRUE(value == -1 || c == U'\x1819') << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_EQ(digitValue(U'\x1819'), 9);
}

struct NumberCase {
    std::wstring text;
    std::int32_t value;
};

void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.value; }

class NumberRuleCases : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberRuleCases, Parses) { EXPECT_EQ(parseNumber(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Table, NumberRuleCases,
    ::testing::Values(
        NumberCase{L"", 0}, NumberCase{L"abc", 0}, NumberCase{L"0", 0}, NumberCase{L"42", 42},
        NumberCase{L"+42", 42}, NumberCase{L"-42", -42}, NumberCase{L"007", 7},
        NumberCase{L"12abc", 12}, NumberCase{L"1 2", 1}, NumberCase{L"+", 0}, NumberCase{L"-", 0},
        NumberCase{L"--1", 0}, NumberCase{L"+-1", 0}, NumberCase{L"- 1", 0},
        NumberCase{L"   17", 17}, NumberCase{L"\t\n\v\f\r 5", 5},
        NumberCase{L"\u3000\uFF11\uFF12", 12}, NumberCase{L"\u00A0-3", -3}, NumberCase{L"x1", 0},
        NumberCase{L"1x2", 1}, NumberCase{L"\uFF0B\uFF11", 0},  // a full-width plus is no sign
        NumberCase{L"1\uFF12\u0663", 123},                      // scripts may mix
        NumberCase{L"2147483647", 2147483647}, NumberCase{L"2147483648", 2147483647},
        NumberCase{L"99999999999999999999999", 2147483647},
        NumberCase{L"-2147483648", -2147483647 - 1}, NumberCase{L"-2147483649", -2147483647 - 1},
        NumberCase{L"-99999999999999999999999", -2147483647 - 1},
        NumberCase{L"000000000000000000000000000000000000000042", 42},
        NumberCase{L"\uFF12\uFF11\uFF14\uFF17\uFF14\uFF18\uFF13\uFF16\uFF14\uFF18", 2147483647}));

}  // namespace
}  // namespace usbio2
