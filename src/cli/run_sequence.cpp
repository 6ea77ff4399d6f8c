#include "cli/run_sequence.hpp"

#include <algorithm>

#include "board/board_connection.hpp"
#include "board/board_discovery.hpp"
#include "board/board_protocol.hpp"
#include "cli/messages.hpp"
#include "cli/text_encoding.hpp"

namespace usbio2 {
namespace {

std::wstring argumentErrorMessage(ArgumentError error) {
    switch (error) {
        case ArgumentError::indexLimit:
            return indexLimitMessage();
        case ArgumentError::negativeIndex:
            return negativeIndexMessage();
        case ArgumentError::valueLimit:
            return valueLimitMessage();
    }
    return {};
}

enum class Request { run, help, version, list };

// The informational words count only when they stand alone; anywhere else
// they are values like any other word, as scripts may already rely on.
Request requestOf(std::span<const std::wstring> arguments) {
    if (arguments.size() != 1) {
        return Request::run;
    }
    const std::wstring& word = arguments[0];
    if (word == L"--help" || word == L"-h" || word == L"/?") {
        return Request::help;
    }
    if (word == L"--version") {
        return Request::version;
    }
    if (word == L"--list") {
        return Request::list;
    }
    return Request::run;
}

}  // namespace

void printSettings(const RunSettings& settings, ConsoleOutput& out) {
    for (int index = 0; index < kSlotCount; ++index) {
        const BoardSlot& slot = settings.slots[static_cast<std::size_t>(index)];
        if (slot.selected != 0) {
            out.write(echoLine(index, slot.port1, slot.port2));
        }
    }
}

int runBoards(const RunSettings& settings, RunEnvironment& env) {
    BoardList list;
    const int count = findBoards(env.hid, list);
    if (count == 0 || count < settings.highestIndex + 1) {
        env.out.write(notFoundMessage());
        return kExitArgumentOrBoard;
    }
    env.out.write(countMessage(count));

    BoardConnection connection;
    const std::size_t reachable = std::min<std::size_t>(list.size(), kSlotCount);
    for (std::size_t k = 0; k < reachable; ++k) {
        const BoardSlot& slot = settings.slots[k];
        if (slot.selected == 0) {
            continue;
        }
        if (const OpenBoardResult opened = openBoard(env.hid, connection, list[k].devicePath);
            !opened) {
            env.out.write(notFoundMessage());
            if (opened.error == OpenError::accessDenied) {
                env.out.write(permissionHint(pathText(list[k].devicePath), env.udevAdvice));
            }
            return kExitArgumentOrBoard;
        }
        Reply reply{};
        if (!exchange(connection, buildPortCommand(slot.port1, slot.port2), reply)) {
            env.out.write(communicationErrorMessage());
            return kExitCommunication;
        }
        closeBoard(connection);
    }

    if (settings.waitMs > 0) {
        env.sleep(std::chrono::milliseconds(settings.waitMs));
    }
    closeBoard(connection);
    releaseBoards(list);
    return kExitSuccess;
}

int listBoards(RunEnvironment& env) {
    BoardList list;
    if (findBoards(env.hid, list) == 0) {
        env.out.write(notFoundMessage());
        return kExitArgumentOrBoard;
    }
    for (std::size_t index = 0; index < list.size(); ++index) {
        const BoardEntry& board = list[index];
        const HidInterfaceDetails details = env.hid.describe(board.devicePath);
        env.out.write(boardListLine(static_cast<int>(index), kBoardVendorId, board.productId,
                                    pathText(board.devicePath), decodeUtf8(details.location),
                                    decodeUtf8(details.serialNumber)));
    }
    return kExitSuccess;
}

int runTool(std::span<const std::wstring> arguments, RunEnvironment& env) {
    switch (requestOf(arguments)) {
        case Request::help:
            env.out.write(helpText());
            return kExitSuccess;
        case Request::version:
            env.out.write(versionLine());
            return kExitSuccess;
        case Request::list:
            return listBoards(env);
        case Request::run:
            break;
    }
    const ParseResult parsed = parseArguments(arguments);
    if (const auto* error = std::get_if<ArgumentError>(&parsed)) {
        env.out.write(argumentErrorMessage(*error));
        return kExitArgumentOrBoard;
    }
    const auto& settings = std::get<RunSettings>(parsed);
    printSettings(settings, env.out);
    return runBoards(settings, env);
}

}  // namespace usbio2
