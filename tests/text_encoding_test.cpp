#include "cli/text_encoding.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "locale_guard.hpp"

namespace usbio2 {
namespace {

using testing::LocaleGuard;

TEST(Utf8, RoundTripsEveryLength) {
    const std::wstring text = L"a\u00E9\u3042\uFF11";
    const std::string bytes = "a\xC3\xA9\xE3\x81\x82\xEF\xBC\x91";
    EXPECT_EQ(encodeUtf8(text), bytes);
    EXPECT_EQ(decodeUtf8(bytes), text);
    const std::string astral = "\xF0\x9F\x98\x80";  // U+1F600
    EXPECT_EQ(encodeUtf8(decodeUtf8(astral)), astral);
}

TEST(Utf8, InvalidBytesBecomeReplacementCharacters) {
    struct Case {
        std::string bytes;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {"\xFF", L"\uFFFD"},
        {"1\x80"
         "2",
         L"1\uFFFD2"},
        {"\xC0\xB1", L"\uFFFD\uFFFD"},  // overlong '1'
        {"\xE3\x81", L"\uFFFD"},        // cut off at the end
        {"\xE3\x81"
         "5",
         L"\uFFFD5"},                     // cut off before a digit
        {"\xED\xA0\x80", L"\uFFFD"},      // a surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD"},  // past U+10FFFF
        {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeUtf8(c.bytes), c.text);
    }
}

TEST(DecodeArgument, FullWidthDigitsAreDigitsInAnyLocale) {
    const std::string fullWidth12 = "\xEF\xBC\x91\xEF\xBC\x92";
    for (const char* name : {"C.UTF-8", "C"}) {
        LocaleGuard locale(name);
        ASSERT_TRUE(locale.active()) << name;
        EXPECT_EQ(decodeArgument(fullWidth12), L"\uFF11\uFF12") << name;
        EXPECT_EQ(decodeArgument("/s1"), L"/s1") << name;
    }
}

TEST(DecodeArgument, BytesTheLocaleRejectsFallBackToUtf8) {
    LocaleGuard locale("C.UTF-8");
    ASSERT_TRUE(locale.active());
    EXPECT_FALSE(
        decodeWithLocale("\xFF"
                         "5"));
    EXPECT_EQ(decodeArgument("\xFF"
                             "5"),
              L"\uFFFD5");
}

TEST(EncodeForOutput, UsesTheLocaleWhereItCan) {
    LocaleGuard locale("C");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(encodeWithLocale(L"0: 5,6\n"), std::optional<std::string>("0: 5,6\n"));
    EXPECT_FALSE(encodeWithLocale(L"\u3042"));
    EXPECT_EQ(encodeForOutput(L"\u3042"), "\xE3\x81\x82");
}

}  // namespace
}  // namespace usbio2
