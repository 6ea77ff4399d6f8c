#include "cli/text_encoding.hpp"

#include <climits>
#include <cstdint>
#include <cwchar>
#include <type_traits>

namespace usbio2 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = kReplacement;
    }
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t c) {
    if (kWideIsUtf16 && c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// The C library matches codesets by their letters and digits alone, in any
// case: "UTF-8", "utf8" and "Utf_8" name one codeset. `normalized` is in
// lower case without anything else.
bool isCodeset(std::string_view codeset, std::string_view normalized) {
    std::size_t matched = 0;
    for (const char c : codeset) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!digit && !letter) {
            continue;
        }
        const char lower = letter ? static_cast<char>(c | 0x20) : c;
        if (matched == normalized.size() || normalized[matched] != lower) {
            return false;
        }
        ++matched;
    }
    return matched == normalized.size();
}

}  // namespace

bool isUtf8Codeset(std::string_view codeset) { return isCodeset(codeset, "utf8"); }

std::string_view characterLocaleName(const char* lcAll, const char* lcCtype, const char* lang) {
    for (const char* value : {lcAll, lcCtype, lang}) {
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

bool needsLocaleLoaded(std::string_view name) {
    if (name.empty() || name == "C" || name == "POSIX") {
        return false;
    }
    // language[_territory][.codeset][@modifier]
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        return true;
    }
    const std::string_view codeset = name.substr(dot + 1, name.find('@', dot) - dot - 1);
    return !isUtf8Codeset(codeset);
}

bool convertsLikeUtf8(std::string_view codeset) {
    // "ANSI_X3.4-1968" is how the GNU C library names ASCII.
    return isUtf8Codeset(codeset) || isCodeset(codeset, "ansix341968") ||
           isCodeset(codeset, "ascii") || isCodeset(codeset, "usascii");
}

std::optional<std::string> encodeWithLocale(std::wstring_view text) {
    std::string out;
    std::mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (wchar_t c : text) {
        const std::size_t length = std::wcrtomb(buffer, c, &state);
        if (length == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        out.append(buffer, length);
    }
    return out;
}

std::string encodeUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(text[i]);
        if (kWideIsUtf16 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const auto low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string encodeForOutput(std::wstring_view text) {
    if (auto encoded = encodeWithLocale(text)) {
        return std::move(*encoded);
    }
    return encodeUtf8(text);
}

std::wstring decodeUtf8(std::string_view bytes) {
    std::wstring out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            c = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, c = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, c = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, c = lead & 0x07, minimum = 0x10000;
        } else {
            appendWide(out, kReplacement);
            ++i;
            continue;
        }
        std::size_t taken = 1;
        bool valid = true;
        for (int k = 0; k < extra; ++k) {
            if (i + taken >= bytes.size() ||
                (static_cast<unsigned char>(bytes[i + taken]) & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(bytes[i + taken]) & 0x3F);
            ++taken;
        }
        if (valid && (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) {
            valid = false;
        }
        appendWide(out, valid ? c : kReplacement);
        i += taken;
    }
    return out;
}

std::optional<std::wstring> decodeWithLocale(std::string_view bytes) {
    std::wstring out;
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < bytes.size()) {
        wchar_t c = 0;
        const std::size_t length = std::mbrtowc(&c, bytes.data() + i, bytes.size() - i, &state);
        if (length == static_cast<std::size_t>(-1) || length == static_cast<std::size_t>(-2)) {
            return std::nullopt;
        }
        if (length == 0) {  // an embedded NUL
            out += L'\0';
            ++i;
            continue;
        }
        out += c;
        i += length;
    }
    return out;
}

std::wstring decodeArgument(std::string_view bytes) {
    if (auto decoded = decodeWithLocale(bytes)) {
        return std::move(*decoded);
    }
    return decodeUtf8(bytes);
}

std::wstring pathText(const std::filesystem::path& path) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, wchar_t>) {
        return path.wstring();
    } else {
        // POSIX paths are bytes; the kernel's own names are ASCII.
        return decodeUtf8(path.string());
    }
}

}  // namespace usbio2
