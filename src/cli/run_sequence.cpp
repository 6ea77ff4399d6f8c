#include "cli/run_sequence.hpp"

#include <algorithm>

#include "board/board_connection.hpp"
#include "board/board_discovery.hpp"
#include "board/board_protocol.hpp"
#include "cli/messages.hpp"

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
        if (!openBoard(env.hid, connection, list[k].devicePath)) {
            env.out.write(notFoundMessage());
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

int runTool(std::span<const std::wstring> arguments, RunEnvironment& env) {
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
