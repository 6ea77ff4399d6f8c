// Conversions in the C library's own locales: C.UTF-8 and C, which POSIX
// systems have and the Windows C runtime does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/messages.hpp"
#include "cli/text_encoding.hpp"
#include "locale_guard.hpp"

namespace usbio2 {
namespace {

using testing::LocaleGuard;

// Every kind of text the tool writes, and arguments valid and not.
std::vector<std::wstring> sampleMessages() {
    return {echoLine(1, 256, -1),
            notFoundMessage(),
            countMessage(2),
            helpText(),
            communicationErrorMessage(),
            indexLimitMessage(),
            valueLimitMessage(),
            permissionHint(L"/dev/hidraw0", true),
            L"\u00e9 \U0001F600 \uFF11"};
}

std::vector<std::string> sampleArguments() {
    return {"/s1",
            "\xEF\xBC\x91\xEF\xBC\x92",
            "\xFF"
            "5",
            "\xE3\x81",
            "\xC3\xA9",
            "\xED\xA0\x80"};
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

// The names that skip loading rely on this: every message comes out the same
// in a UTF-8 locale as in the C locale, which is where such a run stays.
TEST(NeedsLocaleLoaded, SkippingLeavesTheOutputAndArgumentsAsInUtf8) {
    const std::vector<std::wstring> messages = sampleMessages();
    const std::vector<std::string> arguments = sampleArguments();
    std::vector<std::string> inUtf8;
    std::vector<std::wstring> decodedInUtf8;
    {
        LocaleGuard locale("C.UTF-8");
        ASSERT_TRUE(locale.active());
        for (const auto& message : messages) {
            inUtf8.push_back(encodeForOutput(message));
        }
        for (const auto& argument : arguments) {
            decodedInUtf8.push_back(decodeArgument(argument));
        }
    }
    LocaleGuard locale("C");
    ASSERT_TRUE(locale.active());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        EXPECT_EQ(encodeForOutput(messages[i]), inUtf8[i]) << i;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        EXPECT_EQ(decodeArgument(arguments[i]), decodedInUtf8[i]) << i;
    }
}

// What the POSIX entry point's own conversion relies on: in the locales of
// those codesets the C library's conversion gives the same bytes and text.
TEST(ConvertsLikeUtf8, ItsLocalesConvertAsUtf8Does) {
    for (const char* name : {"C.UTF-8", "C"}) {
        LocaleGuard locale(name);
        ASSERT_TRUE(locale.active()) << name;
        for (const std::wstring& message : sampleMessages()) {
            EXPECT_EQ(encodeForOutput(message), encodeUtf8(message)) << name;
        }
        for (const std::string& argument : sampleArguments()) {
            EXPECT_EQ(decodeArgument(argument), decodeUtf8(argument)) << name << ' ' << argument;
        }
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

}  // namespace
}  // namespace usbio2
