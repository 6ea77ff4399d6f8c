#include "cli/messages.hpp"

namespace usbio2 {
namespace {

constexpr int kSlotLimit = 4;

std::wstring wholeLine(const wchar_t* text) { return std::wstring(text) + L'\n'; }

// Lowercase hexadecimal of all 32 bits, no prefix or padding: -1 is ffffffff.
std::wstring hex(std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[bits & 0xFu]);
        bits >>= 4;
    } while (bits != 0);
    return digits;
}

}  // namespace

std::wstring indexLimitMessage() {
    // Shown without a line ending, as it always has been.
    return std::to_wstring(kSlotLimit) + L"個以上の指定はサポートしていません";
}

std::wstring negativeIndexMessage() {
    return wholeLine(L"デバイス番号は0から3の範囲で指定してください");
}

std::wstring valueLimitMessage() {
    return wholeLine(L"1個のデバイスに2個以上の出力は設定できません");
}

std::wstring echoLine(int index, std::int32_t port1, std::int32_t port2) {
    return std::to_wstring(index) + L": " + hex(port1) + L',' + hex(port2) + L'\n';
}

std::wstring notFoundMessage() { return wholeLine(L"USB-IO2が見つかりません"); }

std::wstring countMessage(int count) {
    return L"USB-IO2の接続数 " + std::to_wstring(count) + L"個\n";
}

std::wstring communicationErrorMessage() { return wholeLine(L"通信エラーが発生しました"); }

}  // namespace usbio2
