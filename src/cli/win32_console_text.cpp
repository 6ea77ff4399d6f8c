#include "cli/win32_console_text.hpp"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "cli/text_encoding.hpp"

namespace usbio2 {

std::optional<unsigned> codePageOfLocaleName(std::string_view localeName) {
    const std::size_t dot = localeName.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view suffix = localeName.substr(dot + 1);
    if (isUtf8Codeset(suffix)) {
        return CP_UTF8;
    }
    if (suffix.empty() || suffix.size() > 5 ||
        !std::ranges::all_of(suffix, [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return std::nullopt;
    }
    unsigned codePage = 0;
    for (char digit : suffix) {
        codePage = codePage * 10 + static_cast<unsigned>(digit - '0');
    }
    if (codePage == 0 || codePage > 65535) {
        return std::nullopt;
    }
    return codePage;
}

std::wstring withCrLf(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size() + static_cast<std::size_t>(std::ranges::count(text, L'\n')));
    for (wchar_t c : text) {
        if (c == L'\n') {
            out += L'\r';
        }
        out += c;
    }
    return out;
}

std::string encodeForCodePage(std::wstring_view text, std::optional<unsigned> codePage) {
    if (text.empty()) {
        return {};
    }
    if (!codePage || *codePage == CP_UTF8) {
        return encodeUtf8(text);
    }
    // WC_NO_BEST_FIT_CHARS keeps a character the code page lacks from being
    // turned into a look-alike; usedDefault then reports it. Code pages that
    // refuse these arguments (UTF-7, the ISO-2022 family) fail the call and
    // get UTF-8 too.
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = ::WideCharToMultiByte(*codePage, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                           nullptr, 0, nullptr, &usedDefault);
    if (size <= 0 || usedDefault) {
        return encodeUtf8(text);
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    const int written = ::WideCharToMultiByte(*codePage, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                              out.data(), size, nullptr, &usedDefault);
    if (written != size || usedDefault) {
        return encodeUtf8(text);
    }
    return out;
}

}  // namespace usbio2
