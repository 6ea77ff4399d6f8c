// Every text the tool shows, and its exit codes. No other file holds user text.
#pragma once

#include <cstdint>
#include <string>

namespace usbio2 {

enum ExitCode : int {
    kExitSuccess = 0,
    kExitArgumentOrBoard = 1,  // an argument error, a missing board, a board that cannot be opened
    kExitCommunication = 2,    // an exchange with a board failed
};

// Each function gives the message exactly as written, line ending included
// where it has one.
std::wstring indexLimitMessage();
std::wstring negativeIndexMessage();
std::wstring valueLimitMessage();
std::wstring echoLine(int index, std::int32_t port1, std::int32_t port2);
std::wstring notFoundMessage();
std::wstring countMessage(int count);
std::wstring communicationErrorMessage();

}  // namespace usbio2
