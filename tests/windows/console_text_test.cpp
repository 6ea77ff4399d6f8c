// Output bytes for a redirected stdout: the locale's code page, or UTF-8
// where that code page cannot carry a message whole.
#include "cli/win32_console_text.hpp"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/messages.hpp"

namespace usbio2 {
namespace {

TEST(CodePageOfLocaleName, ReadsTheCodePageAfterTheLastDot) {
    struct Case {
        const char* name;
        std::optional<unsigned> codePage;
    };
    const std::vector<Case> cases = {
        {"Japanese_Japan.932", 932u},
        {"English_United States.1252", 1252u},
        {"Japanese_Japan.utf8", static_cast<unsigned>(CP_UTF8)},
        {"ja-JP.UTF-8", static_cast<unsigned>(CP_UTF8)},
        {".65001", 65001u},
        {"C", std::nullopt},
        {"", std::nullopt},
        {"Japanese_Japan.", std::nullopt},
        {"Japanese_Japan.0", std::nullopt},
        {"Japanese_Japan.932x", std::nullopt},
        {"Japanese_Japan.99999", std::nullopt},
        {"Japanese_Japan.4294967296", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(codePageOfLocaleName(c.name), c.codePage) << c.name;
    }
}

TEST(WithCrLf, EndsEveryLineTheWindowsWay) {
    EXPECT_EQ(withCrLf(L"0: 5,6\n"), L"0: 5,6\r\n");
    EXPECT_EQ(withCrLf(L"a\nb\n\n"), L"a\r\nb\r\n\r\n");
    EXPECT_EQ(withCrLf(indexLimitMessage()), indexLimitMessage());  // has no line ending
    EXPECT_EQ(withCrLf(L""), L"");
}

TEST(EncodeForCodePage, JapaneseMessagesComeOutAsCodePage932) {
    struct Case {
        std::wstring text;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {notFoundMessage(),
         "USB-IO2\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\n"},
        {countMessage(2), "USB-IO2\x82\xCC\x90\xDA\x91\xB1\x90\x94 2\x8C\xC2\n"},
        {communicationErrorMessage(),
         "\x92\xCA\x90\x4D\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82"
         "\xB5\x82\xBD\n"},
        {echoLine(1, 255, 0), "1: ff,0\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeForCodePage(c.text, 932u), c.bytes);
    }
}

// Whatever the code page lacks sends the whole message as UTF-8: never a
// '?', never a best-fit look-alike (é as e), never a message cut short.
TEST(EncodeForCodePage, FallsBackToUtf8ForTheWholeText) {
    const std::wstring notFound = L"USB-IO2\u304C\u898B\u3064\u304B\u308A\u307E\u305B\u3093";
    const std::string notFoundUtf8 =
        "USB-IO2\xE3\x81\x8C\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B\xE3\x82\x8A\xE3\x81\xBE\xE3\x81"
        "\x9B\xE3\x82\x93";
    struct Case {
        std::wstring text;
        std::optional<unsigned> codePage;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {notFound, 1252u, notFoundUtf8},  // Western European
        {notFound, 437u, notFoundUtf8},   // the US OEM code page
        {notFound, std::nullopt, notFoundUtf8},
        {notFound, static_cast<unsigned>(CP_UTF8), notFoundUtf8},
        {notFound, 50220u, notFoundUtf8},  // ISO-2022-JP refuses the no-best-fit check
        {L"caf\u00E9 \u3042", 932u, "caf\xC3\xA9 \xE3\x81\x82"},
        {L"caf\u00E9", 1252u, "caf\xE9"},  // representable: stays in the code page
        {L"", 932u, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(encodeForCodePage(c.text, c.codePage), c.bytes)
            << (c.codePage ? *c.codePage : 0u);
    }
}

}  // namespace
}  // namespace usbio2
