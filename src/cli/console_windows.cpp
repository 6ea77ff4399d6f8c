// Windows: a console gets the wide text itself, so Japanese shows whatever
// its code page; a file or pipe gets bytes in the locale's code page.
#include <windows.h>

#include <clocale>
#include <string>

#include "cli/console_output.hpp"
#include "cli/win32_console_text.hpp"

namespace usbio2 {
namespace {

void writeToConsole(HANDLE console, std::wstring_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        if (!::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) ||
            written == 0) {
            return;  // a closed console must not stop the boards being written
        }
        text.remove_prefix(written);
    }
}

void writeToFile(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written == 0) {
            return;  // a closed or full output must not stop the boards being written
        }
        bytes.remove_prefix(written);
    }
}

class StandardOutput final : public ConsoleOutput {
  public:
    void write(std::wstring_view text) override {
        const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if (out == INVALID_HANDLE_VALUE || out == nullptr) {
            return;
        }
        const std::wstring lines = withCrLf(text);
        DWORD mode = 0;
        if (::GetConsoleMode(out, &mode)) {
            writeToConsole(out, lines);
            return;
        }
        // The code page is the one setlocale(LC_ALL, "") chose at start-up.
        const char* locale = std::setlocale(LC_CTYPE, nullptr);
        writeToFile(out, encodeForCodePage(lines, codePageOfLocaleName(locale ? locale : "")));
    }
};

}  // namespace

std::unique_ptr<ConsoleOutput> makeStandardOutput() { return std::make_unique<StandardOutput>(); }

}  // namespace usbio2
