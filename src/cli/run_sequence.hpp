// One run of the tool: arguments in, boards written, exit code out.
#pragma once

#include <chrono>
#include <functional>
#include <span>
#include <string>

#include "board/hid_layer.hpp"
#include "cli/console_output.hpp"
#include "cli/run_settings.hpp"

namespace usbio2 {

struct RunEnvironment {
    HidLayer& hid;
    ConsoleOutput& out;
    std::function<void(std::chrono::milliseconds)> sleep;
    // Whether a board this user may not open is fixed by installing the udev rule.
    bool udevAdvice = false;
};

// Echoes each selected slot.
void printSettings(const RunSettings& settings, ConsoleOutput& out);

// Finds the boards, checks every named one is present, writes each selected
// board in discovery order, waits, and gives the exit code.
int runBoards(const RunSettings& settings, RunEnvironment& env);

// "--list": one line per board found, in discovery order; writes no board.
int listBoards(RunEnvironment& env);

// The whole run for the arguments after the program name.
int runTool(std::span<const std::wstring> arguments, RunEnvironment& env);

}  // namespace usbio2
