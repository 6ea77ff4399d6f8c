#include "cli/messages.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace usbio2 {
namespace {

struct EchoCase {
    int index;
    std::int32_t port1;
    std::int32_t port2;
    std::wstring line;
};

void PrintTo(const EchoCase& c, std::ostream* os) {
    *os << c.index << " " << c.port1 << " " << c.port2;
}

class EchoLine : public ::testing::TestWithParam<EchoCase> {};

TEST_P(EchoLine, PrintsIndexAndLowercaseHexOfAllBits) {
    const EchoCase& c = GetParam();
    EXPECT_EQ(echoLine(c.index, c.port1, c.port2), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EchoLine,
    ::testing::Values(EchoCase{0, 5, 6, L"0: 5,6\n"}, EchoCase{1, 255, 0, L"1: ff,0\n"},
                      EchoCase{2, 256, 511, L"2: 100,1ff\n"},
                      EchoCase{3, -1, 0, L"3: ffffffff,0\n"},
                      EchoCase{0, 2147483647, -2147483647 - 1, L"0: 7fffffff,80000000\n"},
                      EchoCase{0, 0xABCDEF, 10, L"0: abcdef,a\n"}));

TEST(CountMessage, PrintsTheCountInDecimal) {
    for (const auto& [count, digits] :
         {std::pair{0, L"0"}, std::pair{1, L"1"}, std::pair{10, L"10"}, std::pair{64, L"64"},
          std::pair{2147483647, L"2147483647"}}) {
        EXPECT_EQ(countMessage(count),
                  L"USB-IO2\u306e\u63a5\u7d9a\u6570 " + std::wstring(digits) + L"\u500b\n")
            << count;
    }
}

TEST(Messages, LineEndingsAsTheTableGives) {
    EXPECT_NE(indexLimitMessage().back(), L'\n');
    for (const std::wstring& line : {valueLimitMessage(), negativeIndexMessage(), notFoundMessage(),
                                     countMessage(1), communicationErrorMessage()}) {
        EXPECT_EQ(line.back(), L'\n');
        EXPECT_EQ(line.find(L'\n'), line.size() - 1);
    }
}

TEST(Messages, BoardListLineShowsDashesForUnknownFields) {
    EXPECT_EQ(boardListLine(0, 0x1352, 0x0121, L"/dev/hidraw3", L"1-1.2", L"A1"),
              L"0: 1352:0121 /dev/hidraw3 1-1.2 A1\n");
    EXPECT_EQ(boardListLine(12, 0x1352, 0x0120, L"/dev/hidraw0", L"", L""),
              L"12: 1352:0120 /dev/hidraw0 - -\n");
}

TEST(Messages, PermissionHintNamesThePathAndOnlyThenTheRule) {
    const std::wstring withRule = permissionHint(L"/dev/hidraw3", true);
    const std::wstring without = permissionHint(L"/dev/hidraw3", false);
    EXPECT_EQ(withRule.rfind(L"/dev/hidraw3 ", 0), 0u);
    EXPECT_NE(withRule.find(L"60-usbio2.rules"), std::wstring::npos);
    EXPECT_EQ(without.find(L"udev"), std::wstring::npos);
    EXPECT_EQ(withRule.back(), L'\n');
    EXPECT_EQ(without.back(), L'\n');
}

TEST(Messages, NegativeIndexNamesTheValidRange) {
    EXPECT_EQ(negativeIndexMessage(), L"デバイス番号は0から3の範囲で指定してください\n");
}

}  // namespace
}  // namespace usbio2
