#include "cli/messages.hpp"

#include "usbio2_version.h"

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

std::wstring hex4(std::uint16_t value) {
    std::wstring digits(4, L'0');
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, value >>= 4) {
        *it = L"0123456789abcdef"[value & 0xFu];
    }
    return digits;
}

// By hand rather than std::to_wstring, which goes through the C library's
// wide printf and brings its code and data into memory on every run.
std::wstring decimal(int value) {
    std::wstring digits;
    auto magnitude = static_cast<unsigned>(value);
    if (value < 0) {
        magnitude = 0u - magnitude;
    }
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits.insert(digits.begin(), L'-');
    }
    return digits;
}

std::wstring orDash(std::wstring_view text) {
    return text.empty() ? std::wstring(L"-") : std::wstring(text);
}

}  // namespace

std::wstring indexLimitMessage() {
    // Shown without a line ending, as it always has been.
    return decimal(kSlotLimit) + L"個以上の指定はサポートしていません";
}

std::wstring negativeIndexMessage() {
    return wholeLine(L"デバイス番号は0から3の範囲で指定してください");
}

std::wstring valueLimitMessage() {
    return wholeLine(L"1個のデバイスに2個以上の出力は設定できません");
}

std::wstring echoLine(int index, std::int32_t port1, std::int32_t port2) {
    return decimal(index) + L": " + hex(port1) + L',' + hex(port2) + L'\n';
}

std::wstring notFoundMessage() { return wholeLine(L"USB-IO2が見つかりません"); }

std::wstring countMessage(int count) { return L"USB-IO2の接続数 " + decimal(count) + L"個\n"; }

std::wstring communicationErrorMessage() { return wholeLine(L"通信エラーが発生しました"); }

std::wstring permissionHint(std::wstring_view devicePath, bool udevAdvice) {
    std::wstring line = std::wstring(devicePath) + L" を開く権限がありません";
    if (udevAdvice) {
        line += L" (udevルール 60-usbio2.rules を入れてください)";
    }
    return line + L'\n';
}

std::wstring helpText() {
    return L"使い方: usbio2-write [/sN] [ポート1の値] [ポート2の値] ... [/tミリ秒]\n"
           L"\n"
           L"USB-IO2 (最大4台) の出力ポート1と出力ポート2に値を設定します。\n"
           L"\n"
           L"  /sN        以降の値をボードN (0から3) に設定します\n"
           L"  値         ボードを選んだ後の1つ目の値がポート1、2つ目の値がポート2に\n"
           L"             なります。/s より前の値はボード0に設定します。\n"
           L"             値は10進数で、下位8ビットだけがボードに送られます\n"
           L"             (256は0、511は255)。値のないポートには0を設定します\n"
           L"  /tミリ秒   すべてのボードに書き込んだ後、指定した時間待ちます\n"
           L"  --list     接続されているボードを番号順に表示します\n"
           L"  --version  バージョンを表示します\n"
           L"  --help     この説明を表示します (-h、/? も同じ)\n"
           L"\n"
           L"ボード番号は接続されているボードの列挙順に0から数えます\n"
           L"(Linuxでは /dev/hidrawN の番号順)。\n"
           L"\n"
           L"終了コード:\n"
           L"  0  すべてのボードに書き込みました\n"
           L"  1  引数の誤り、ボードが見つからない、またはボードを開けません\n"
           L"  2  通信エラー (1秒以内に応答がない場合を含みます)\n"
           L"\n"
           L"例:\n"
           L"  usbio2-write /s1 5 6 /t200\n"
           L"    ボード1のポート1に5、ポート2に6を設定し、200ミリ秒待ちます\n"
           L"  usbio2-write 255 0 /s1 0 255\n"
           L"    ボード0のポート1とボード1のポート2に255、ほかのポートに0を設定します\n";
}

std::wstring versionLine() { return L"usbio2-write " USBIO2_VERSION L"\n"; }

std::wstring boardListLine(int index, std::uint16_t vendorId, std::uint16_t productId,
                           std::wstring_view devicePath, std::wstring_view location,
                           std::wstring_view serialNumber) {
    return decimal(index) + L": " + hex4(vendorId) + L':' + hex4(productId) + L' ' +
           orDash(devicePath) + L' ' + orDash(location) + L' ' + orDash(serialNumber) + L'\n';
}

}  // namespace usbio2
