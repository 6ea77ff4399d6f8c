// Turning the tool's wide text into output bytes, and command-line bytes into
// wide text, by the user's locale with UTF-8 as the fallback either way.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace usbio2 {

// The locale name that decides character handling, as the C library picks
// it: LC_ALL, else LC_CTYPE, else LANG, the first that is set and not empty.
// Empty when none is.
std::string_view characterLocaleName(const char* lcAll, const char* lcCtype, const char* lang);

// "UTF-8" in any of the spellings the C library accepts ("utf8", "UTF_8").
bool isUtf8Codeset(std::string_view codeset);

// Whether the locale of that name has to be loaded for the tool to encode
// its text. Not for the C and POSIX locales, whose missing characters fall
// back to UTF-8, nor for a name with a UTF-8 codeset, which, if it is not
// installed, leaves the C locale all the same: for those the output and the
// decoded arguments are UTF-8 whatever is installed. Loading costs more than
// a whole board write.
bool needsLocaleLoaded(std::string_view name);

// Whether a locale of this codeset (as nl_langinfo(CODESET) names it) turns
// the tool's text into the bytes of encodeUtf8, and its arguments into the
// text of decodeUtf8, anyway: UTF-8 itself, and ASCII, the C locale's, whose
// missing characters fall back to UTF-8. For those the tool converts by
// itself and leaves the C library's conversion, costly to start, alone.
bool convertsLikeUtf8(std::string_view codeset);

// The text in the current locale's multibyte encoding, or nothing when the
// locale cannot represent all of it.
std::optional<std::string> encodeWithLocale(std::wstring_view text);

std::string encodeUtf8(std::wstring_view text);

// What goes to standard output: the locale's encoding where it can carry the
// whole text, UTF-8 otherwise, so no message is cut off or garbled.
std::string encodeForOutput(std::wstring_view text);

// Invalid sequences become U+FFFD, which no rule reads as a digit.
std::wstring decodeUtf8(std::string_view bytes);

std::optional<std::wstring> decodeWithLocale(std::string_view bytes);

// A command-line argument as the locale reads it, or as UTF-8 where the
// locale cannot, so full-width digits are digits in any terminal.
std::wstring decodeArgument(std::string_view bytes);

// A path as text to show, whatever the platform's native path encoding.
std::wstring pathText(const std::filesystem::path& path);

}  // namespace usbio2
