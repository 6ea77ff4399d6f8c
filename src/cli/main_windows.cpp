// Entry point on Windows: arguments arrive as wide text and go to the run
// unchanged.
#include <windows.h>

#include <clocale>
#include <string>
#include <vector>

#include "board/hid_layer.hpp"
#include "cli/console_output.hpp"
#include "cli/run_sequence.hpp"

int wmain(int argc, wchar_t** argv) {
    // Chooses the code page that output to a file or pipe is written in.
    std::setlocale(LC_ALL, "");

    std::vector<std::wstring> arguments;
    if (argc > 1) {
        arguments.assign(argv + 1, argv + argc);
    }

    auto hid = usbio2::makeSystemHidLayer();
    auto out = usbio2::makeStandardOutput();
    usbio2::RunEnvironment env{
        .hid = *hid,
        .out = *out,
        .sleep = [](std::chrono::milliseconds wait) { ::Sleep(static_cast<DWORD>(wait.count())); },
        .udevAdvice = false,
    };
    return usbio2::runTool(arguments, env);
}
