#include "cli/number_rule.hpp"

#include <algorithm>
#include <limits>

namespace usbio2 {
namespace {

// First code point (zero) of each run of ten decimal digits.
constexpr char32_t kDigitZeros[] = {
    0x0030, 0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66,
    0x0CE6, 0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10,
};

// Unicode White_Space, so that an ideographic space typed with full-width
// digits is skipped like an ASCII one, whatever the locale.
bool isSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

}  // namespace

int digitValue(char32_t codePoint) {
    for (char32_t zero : kDigitZeros) {
        if (codePoint >= zero && codePoint < zero + 10) {
            return static_cast<int>(codePoint - zero);
        }
    }
    return -1;
}

std::int32_t parseNumber(std::wstring_view text) {
    auto it = text.begin();
    while (it != text.end() && isSpace(static_cast<char32_t>(*it))) {
        ++it;
    }
    bool negative = false;
    if (it != text.end() && (*it == L'+' || *it == L'-')) {
        negative = *it == L'-';
        ++it;
    }
    // Accumulate towards the limit of the sign's side, stopping there: the
    // magnitude never exceeds 2^31, so it cannot overflow.
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; it != text.end(); ++it) {
        const int digit = digitValue(static_cast<char32_t>(*it));
        if (digit < 0) {
            break;
        }
        magnitude = std::min(limit, magnitude * 10 + digit);
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace usbio2
