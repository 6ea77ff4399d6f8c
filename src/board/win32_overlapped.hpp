// Windows: reads and writes on a handle opened with FILE_FLAG_OVERLAPPED that
// give up after a time limit, so a device that never answers cannot hang us.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

#include "board/win32_handle.hpp"

namespace usbio2::win32 {

enum class IoStatus { ok, timedOut, failed };

struct IoResult {
    IoStatus status = IoStatus::failed;
    std::size_t transferred = 0;
};

// One event reused for every transfer on one handle. An I/O still running
// when its time is up is cancelled, and its end awaited, before the call
// returns: the caller may free or reuse the buffer at once.
class OverlappedIo {
  public:
    OverlappedIo();

    // False when no event could be made; every transfer then fails.
    bool valid() const { return static_cast<bool>(event_); }

    IoResult read(HANDLE file, std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout);
    IoResult write(HANDLE file, std::span<const std::uint8_t> data,
                   std::chrono::milliseconds timeout);

  private:
    UniqueHandle event_;
};

}  // namespace usbio2::win32
