#include "board/win32_overlapped.hpp"

#include <algorithm>
#include <limits>

namespace usbio2::win32 {
namespace {

DWORD waitMilliseconds(std::chrono::milliseconds timeout) {
    // INFINITE is a DWORD too: stay one below it, whatever the caller asks.
    constexpr auto longest = static_cast<std::chrono::milliseconds::rep>(INFINITE - 1);
    return static_cast<DWORD>(
        std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, longest));
}

DWORD transferSize(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
}

// Takes over once ReadFile or WriteFile has returned `started`.
IoResult finishTransfer(HANDLE file, OVERLAPPED& overlapped, BOOL started,
                        std::chrono::milliseconds timeout) {
    if (!started && ::GetLastError() != ERROR_IO_PENDING) {
        return {};
    }
    IoStatus unfinished = IoStatus::failed;
    if (!started) {
        const DWORD waited = ::WaitForSingleObject(overlapped.hEvent, waitMilliseconds(timeout));
        if (waited != WAIT_OBJECT_0) {
            // The system owns the buffer and the OVERLAPPED record until the
            // cancelled I/O has ended, so its end is awaited below in any case.
            ::CancelIoEx(file, &overlapped);
            if (waited == WAIT_TIMEOUT) {
                unfinished = IoStatus::timedOut;
            }
        }
    }
    DWORD transferred = 0;
    if (!::GetOverlappedResult(file, &overlapped, &transferred, TRUE)) {
        return {unfinished, 0};
    }
    // The I/O may have ended between the time-out and the cancel: what it
    // carried is then real and not to be thrown away.
    return {IoStatus::ok, transferred};
}

}  // namespace

OverlappedIo::OverlappedIo() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

IoResult OverlappedIo::read(HANDLE file, std::span<std::uint8_t> buffer,
                            std::chrono::milliseconds timeout) {
    if (!valid()) {
        return {};
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event_.get();
    const BOOL started =
        ::ReadFile(file, buffer.data(), transferSize(buffer.size()), nullptr, &overlapped);
    return finishTransfer(file, overlapped, started, timeout);
}

IoResult OverlappedIo::write(HANDLE file, std::span<const std::uint8_t> data,
                             std::chrono::milliseconds timeout) {
    if (!valid()) {
        return {};
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event_.get();
    const BOOL started =
        ::WriteFile(file, data.data(), transferSize(data.size()), nullptr, &overlapped);
    return finishTransfer(file, overlapped, started, timeout);
}

}  // namespace usbio2::win32
