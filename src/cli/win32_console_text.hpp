// Windows: how the tool's wide text becomes bytes when standard output is a
// file or a pipe rather than a console.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace usbio2 {

// The code page a C runtime locale name carries, such as 932 for
// "Japanese_Japan.932" or CP_UTF8 for ".utf8"; nothing for "C", which names
// none.
std::optional<unsigned> codePageOfLocaleName(std::string_view localeName);

// Each "\n" as "\r\n", the line ending of Windows text files and of what the
// C runtime writes to a redirected stdout in text mode.
std::wstring withCrLf(std::wstring_view text);

// The text in `codePage` where that code page carries every character of it
// exactly, UTF-8 otherwise: a message is never cut off or shown with
// stand-ins such as '?' or a look-alike letter.
std::string encodeForCodePage(std::wstring_view text, std::optional<unsigned> codePage);

}  // namespace usbio2
