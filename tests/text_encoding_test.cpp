#include "cli/text_encoding.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/messages.hpp"
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

TEST(EncodeForOutput, UsesTheLocaleWhereItCan) {
    LocaleGuard locale("C");
    ASSERT_TRUE(locale.active());
    EXPECT_EQ(encodeWithLocale(L"0: 5,6\n"), std::optional<std::string>("0: 5,6\n"));
    EXPECT_FALSE(encodeWithLocale(L"\u3042"));
    EXPECT_EQ(encodeForOutput(L"\u3042"), "\xE3\x81\x82");
}

TEST(CharacterLocaleName, TakesTheFirstSetAndNotEmpty) {
    struct Case {
        const char* lcAll;
        const char* lcCtype;
        const char* lang;
        std::string_view name;
    };
    const std::vector<Case> cases = {
        {nullptr, nullptr, nullptr, ""},
        {nullptr, nullptr, "ja_JP.UTF-8", "ja_JP.UTF-8"},
        {nullptr, "ja_JP.eucJP", "C.UTF-8", "ja_JP.eucJP"},
        {"C", "ja_JP.eucJP", "ja_JP.UTF-8", "C"},
        {"", "", "ja_JP.eucJP", "ja_JP.eucJP"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(characterLocaleName(c.lcAll, c.lcCtype, c.lang), c.name)
            << (c.lcAll ? c.lcAll : "-") << ' ' << (c.lcCtype ? c.lcCtype : "-") << ' '
            << (c.lang ? c.lang : "-");
    }
}

TEST(NeedsLocaleLoaded, OnlyWhereTheNameLeavesTheEncodingOpen) {
    for (const char* name :
         {"", "C", "POSIX", "C.UTF-8", "C.utf8", "ja_JP.UTF-8", "en_US.utf8@euro", "de_DE.Utf_8"}) {
        EXPECT_FALSE(needsLocaleLoaded(name)) << name;
    }
    for (const char* name :
         {"ja_JP", "japanese", "ja_JP.eucJP", "ja_JP.SJIS", "zh_CN.GB18030", "en_US.ISO-8859-1",
          "C.UTF-16", "xx.utf", "xx.utf8x", "ja_JP@utf8", "c"}) {
        EXPECT_TRUE(needsLocaleLoaded(name)) << name;
    }
}

TEST(ConvertsLikeUtf8, OnlyUtf8AndAscii) {
    for (const char* codeset : {"UTF-8", "utf8", "ANSI_X3.4-1968", "ASCII", "US-ASCII"}) {
        EXPECT_TRUE(convertsLikeUtf8(codeset)) << codeset;
    }
    for (const char* codeset :
         {"", "EUC-JP", "SHIFT_JIS", "ISO-8859-1", "GB18030", "UTF-16", "UTF-8x", "ASCII-8"}) {
        EXPECT_FALSE(convertsLikeUtf8(codeset)) << codeset;
    }
}

}  // namespace
}  // namespace usbio2
