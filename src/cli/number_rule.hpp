// How every number on the command line is read.
#pragma once

#include <cstdint>
#include <string_view>

namespace usbio2 {

// Leading white space, an optional sign, then decimal digits of any of the
// eighteen digit scripts (ASCII and full-width among them) up to the first
// other character. No digits gives 0; out-of-range values saturate to the
// signed 32-bit limits.
std::int32_t parseNumber(std::wstring_view text);

// The digit's value, or -1 when the code point is no decimal digit.
int digitValue(char32_t codePoint);

}  // namespace usbio2
