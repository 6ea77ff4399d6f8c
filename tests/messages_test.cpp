#include "cli/messages.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "cli/text_encoding.hpp"
#include "locale_guard.hpp"

namespace usbio2 {
namespace {

using testing::LocaleGuard;

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

// The exact bytes each message puts on standard output in a UTF-8 locale.
TEST(MessageBytes, Utf8Locale) {
    LocaleGuard locale("C.UTF-8");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(
        encodeForOutput(indexLimitMessage()),
        "4\xE5\x80\x8B\xE4\xBB\xA5\xE4\xB8\x8A\xE3\x81\xAE\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\xAF"
        "\xE3\x82\xB5\xE3\x83\x9D\xE3\x83\xBC\xE3\x83\x88\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84"
        "\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93");
    EXPECT_EQ(encodeForOutput(notFoundMessage()),
              "USB-IO2\xE3\x81\x8C\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B\xE3\x82\x8A\xE3\x81\xBE"
              "\xE3\x81\x9B\xE3\x82\x93\n");
    EXPECT_EQ(encodeForOutput(countMessage(2)),
              "USB-IO2\xE3\x81\xAE\xE6\x8E\xA5\xE7\xB6\x9A\xE6\x95\xB0 2\xE5\x80\x8B\n");
    EXPECT_EQ(
        encodeForOutput(valueLimitMessage()),
        "1\xE5\x80\x8B\xE3\x81\xAE\xE3\x83\x87\xE3\x83\x90\xE3\x82\xA4\xE3\x82\xB9\xE3\x81\xAB"
        "2\xE5\x80\x8B\xE4\xBB\xA5\xE4\xB8\x8A\xE3\x81\xAE\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\xAF"
        "\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\n");
    EXPECT_EQ(encodeForOutput(communicationErrorMessage()),
              "\xE9\x80\x9A\xE4\xBF\xA1\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\xE3\x81\x8C\xE7\x99\xBA"
              "\xE7\x94\x9F\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x97\xE3\x81\x9F\n");
    EXPECT_EQ(encodeForOutput(echoLine(1, 255, 0)), "1: ff,0\n");
}

// Where the locale cannot carry Japanese, the whole message goes out as UTF-8:
// the same bytes, never question marks or a cut-off line.
TEST(MessageBytes, CLocaleFallsBackToUtf8) {
    std::string utf8Bytes[3];
    {
        LocaleGuard locale("C.UTF-8");
        ASSERT_TRUE(locale.active());
        utf8Bytes[0] = encodeForOutput(notFoundMessage());
        utf8Bytes[1] = encodeForOutput(countMessage(3));
        utf8Bytes[2] = encodeForOutput(negativeIndexMessage());
    }
    LocaleGuard locale("C");
    ASSERT_TRUE(locale.active());
    EXPECT_FALSE(encodeWithLocale(notFoundMessage()));
    EXPECT_EQ(encodeForOutput(notFoundMessage()), utf8Bytes[0]);
    EXPECT_EQ(encodeForOutput(countMessage(3)), utf8Bytes[1]);
    EXPECT_EQ(encodeForOutput(negativeIndexMessage()), utf8Bytes[2]);
    EXPECT_EQ(encodeForOutput(echoLine(0, 5, 6)), "0: 5,6\n");
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
