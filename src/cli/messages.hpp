// Every text the tool shows, and its exit codes. No other file holds user text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// Printed after the not-found message when a board exists but this user may
// not open it; `udevAdvice` adds the pointer to the udev rule.
std::wstring permissionHint(std::wstring_view devicePath, bool udevAdvice);

std::wstring helpText();
std::wstring versionLine();

// One board of "--list"; an empty location or serial number shows as "-".
std::wstring boardListLine(int index, std::uint16_t vendorId, std::uint16_t productId,
                           std::wstring_view devicePath, std::wstring_view location,
                           std::wstring_view serialNumber);

}  // namespace usbio2
