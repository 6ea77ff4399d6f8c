#include "board/board_connection.hpp"

#include <algorithm>

namespace usbio2 {

OpenBoardResult openBoard(HidLayer& hid, BoardConnection& connection,
                          const std::filesystem::path& devicePath) {
    closeBoard(connection);
    OpenResult opened = hid.open(devicePath);
    if (!opened.device) {
        return {false, opened.error};
    }
    if (const auto ids = opened.device->ids(); ids && !isBoard(ids->vendorId, ids->productId)) {
        return {false, OpenError::notFound};
    }
    connection.hid = &hid;
    connection.handle = std::move(opened.device);
    connection.caps = connection.handle->reportLengths();
    connection.outputReport.assign(connection.caps.output, 0);
    connection.inputReport.assign(connection.caps.input, 0);
    return {true, OpenError::failed};
}

bool exchange(BoardConnection& connection, const Command& command, Reply& reply) {
    if (!connection.isOpen()) {
        return false;
    }
    // Framing needs a report-ID byte and 64 data bytes each way; a device that
    // declares less is not sent anything rather than written past its buffers.
    if (connection.caps.output < kReportSize || connection.caps.input < kReportSize) {
        return false;
    }

    frameOutputReport(command, connection.outputReport);
    std::optional<std::size_t> written = connection.handle->write(connection.outputReport);
    if (!written || *written != connection.outputReport.size()) {
        return false;
    }

    const std::uint8_t tag = command[kTagByte];
    const auto deadline = connection.hid->now() + kReplyTimeLimit;
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - connection.hid->now());
        if (left <= std::chrono::milliseconds::zero()) {
            return false;
        }
        ReadResult read = connection.handle->read(connection.inputReport, left);
        if (read.status != ReadStatus::ok) {
            return false;
        }
        // A board always answers with full reports; a short one means the link
        // is broken, and its missing tag byte could never be matched anyway.
        if (read.length != connection.inputReport.size()) {
            return false;
        }
        if (isReplyTo(connection.inputReport, tag)) {
            std::copy_n(connection.inputReport.begin() + 1, reply.size(), reply.begin());
            return true;
        }
        // A report with another tag is not our reply: drop it.
    }
}

void closeBoard(BoardConnection& connection) {
    if (!connection.isOpen()) {
        return;
    }
    connection.handle.reset();
    connection.outputReport = {};
    connection.inputReport = {};
    connection.caps = {};
}

}  // namespace usbio2
