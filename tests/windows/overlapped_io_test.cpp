// The bounded transfers over a named pipe that stands in for a board: a
// message-mode pipe hands over one whole message per read, as a HID device
// hands over one report.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "board/win32_handle.hpp"
#include "board/win32_overlapped.hpp"

namespace usbio2::win32 {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// The far end ("device") is plain synchronous; the near end ("host") is
// opened for overlapped I/O as the tool opens a board.
class PipeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        const std::wstring name = L"\\\\.\\pipe\\usbio2-test-" +
                                  std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++counter);
        device_.reset(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX,
                                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                                         4096, 4096, 0, nullptr));
        ASSERT_TRUE(device_);
        host_.reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        ASSERT_TRUE(host_);
        DWORD mode = PIPE_READMODE_MESSAGE;
        ASSERT_TRUE(::SetNamedPipeHandleState(host_.get(), &mode, nullptr, nullptr));
        ASSERT_TRUE(io_.valid());
    }

    void deviceSends(const Bytes& message) {
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(device_.get(), message.data(), static_cast<DWORD>(message.size()),
                                &written, nullptr));
        ASSERT_EQ(written, message.size());
    }

    Bytes deviceReceives() {
        Bytes message(4096);
        DWORD read = 0;
        if (!::ReadFile(device_.get(), message.data(), static_cast<DWORD>(message.size()), &read,
                        nullptr)) {
            return {};
        }
        message.resize(read);
        return message;
    }

    UniqueHandle device_;
    UniqueHandle host_;
    OverlappedIo io_;
};

TEST_F(PipeTest, ReadTakesAReportAlreadyWaiting) {
    deviceSends({0x00, 0x20, 0x05});
    Bytes buffer(65, 0xEE);
    const IoResult result = io_.read(host_.get(), buffer, 1000ms);
    ASSERT_EQ(result.status, IoStatus::ok);
    ASSERT_EQ(result.transferred, 3u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 3), (Bytes{0x00, 0x20, 0x05}));
}

TEST_F(PipeTest, ReadWaitsForAReportThatComesLater) {
    std::thread device([this] {
        std::this_thread::sleep_for(100ms);
        deviceSends({0x00, 0x01});
    });
    Bytes buffer(65, 0xEE);
    const IoResult result = io_.read(host_.get(), buffer, 10s);
    device.join();
    ASSERT_EQ(result.status, IoStatus::ok);
    ASSERT_EQ(result.transferred, 2u);
    EXPECT_EQ(buffer[1], 0x01);
}

// The pending read must be cancelled, not left to land later in a buffer
// that its owner has moved on from: the report sent after the time-out goes
// to the next read, and the first buffer stays as it was.
TEST_F(PipeTest, ReadOfASilentDeviceTimesOutAndIsCancelled) {
    Bytes abandoned(65, 0xEE);
    EXPECT_EQ(io_.read(host_.get(), abandoned, 50ms).status, IoStatus::timedOut);

    deviceSends({0x00, 0x42});
    Bytes next(65, 0xEE);
    const IoResult result = io_.read(host_.get(), next, 1000ms);
    ASSERT_EQ(result.status, IoStatus::ok);
    ASSERT_EQ(result.transferred, 2u);
    EXPECT_EQ(next[1], 0x42);
    EXPECT_EQ(abandoned, Bytes(65, 0xEE));
}

TEST_F(PipeTest, WriteGivesTheCountTheDeviceTook) {
    const Bytes report = {0x00, 0x20, 0x01, 0x05, 0x02, 0x06};
    const IoResult result = io_.write(host_.get(), report, 1000ms);
    ASSERT_EQ(result.status, IoStatus::ok);
    EXPECT_EQ(result.transferred, report.size());
    EXPECT_EQ(deviceReceives(), report);
}

// A report longer than the buffer is an error, never half a report.
TEST_F(PipeTest, ReadIntoTooSmallABufferFails) {
    deviceSends(Bytes(65, 0x11));
    Bytes buffer(8, 0xEE);
    EXPECT_EQ(io_.read(host_.get(), buffer, 1000ms).status, IoStatus::failed);
}

TEST_F(PipeTest, TransfersFailOnceTheDeviceIsGone) {
    device_.reset();
    Bytes buffer(65);
    EXPECT_EQ(io_.read(host_.get(), buffer, 1000ms).status, IoStatus::failed);
    EXPECT_EQ(io_.write(host_.get(), buffer, 1000ms).status, IoStatus::failed);
}

}  // namespace
}  // namespace usbio2::win32
