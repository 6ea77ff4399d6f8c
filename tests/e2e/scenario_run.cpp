#include "scenario_run.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "child_process.hpp"
#include "device_nodes.hpp"
#include "virtual_device.hpp"

namespace e2e {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

constexpr uid_t kNobody = 65534;

// Byte-exact, but readable on a console: line ends and control bytes escaped.
std::string quoted(const std::string& bytes) {
    std::string text = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            text += "\\n";
        } else if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            static const char kHex[] = "0123456789abcdef";
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        } else {
            text += c;
        }
    }
    return text + "\"";
}

std::string hexByte(std::uint8_t byte) {
    static const char kHex[] = "0123456789abcdef";
    return {kHex[byte >> 4], kHex[byte & 0xF]};
}

// The five leading bytes and the tag; the rest only where it is not zero.
std::string describe(const Command& command) {
    std::string text = "[";
    for (std::size_t i = 0; i < 5; ++i) {
        text += hexByte(command[i]) + (i < 4 ? " " : "");
    }
    for (std::size_t i = 5; i < 63; ++i) {
        if (command[i] != 0) {
            text += " @" + std::to_string(i) + "=" + hexByte(command[i]);
        }
    }
    return text + " tag " + hexByte(command[63]) + "]";
}

std::string describe(const std::vector<Command>& commands) {
    if (commands.empty()) {
        return "nothing";
    }
    std::string text;
    for (const Command& command : commands) {
        text += (text.empty() ? "" : ", ") + describe(command);
    }
    return text;
}

std::string deviceName(std::size_t index, const DeviceSpec& kind) {
    return "device " + std::to_string(index) + " (" + hexByte(kind.vendorId >> 8) +
           hexByte(kind.vendorId & 0xFF) + ":" + hexByte(kind.productId >> 8) +
           hexByte(kind.productId & 0xFF) + ", " + behaviourName(kind.behaviour) + ")";
}

std::string withNodes(std::string text, const std::vector<DeviceNode>& nodes) {
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        const std::string token = "{node:" + std::to_string(k) + "}";
        for (auto at = text.find(token); at != std::string::npos; at = text.find(token)) {
            text.replace(at, token.size(), nodes[k].devicePath);
        }
    }
    return text;
}

long count(milliseconds span) { return static_cast<long>(span.count()); }

struct Devices {
    std::vector<std::unique_ptr<VirtualDevice>> devices;
    std::vector<DeviceNode> nodes;
};

// Each device is in place, node and all, before the next is made, so the
// kernel hands out hidraw numbers in the row's order.
bool createDevices(const Scenario& row, Devices& made, std::vector<std::string>& problems) {
    for (std::size_t k = 0; k < row.devices.size(); ++k) {
        std::string error;
        auto device =
            VirtualDevice::create(row.devices[k].kind, "vboard" + std::to_string(k), error);
        if (!device) {
            problems.push_back("setup: " + error);
            return false;
        }
        const auto node = waitForNode(device->uniq(), 5000ms);
        made.devices.push_back(std::move(device));
        if (!node) {
            problems.push_back("setup: no hidraw node for " + deviceName(k, row.devices[k].kind));
            return false;
        }
        if (!made.nodes.empty() && node->hidrawNumber <= made.nodes.back().hidrawNumber) {
            problems.push_back("setup: " + node->devicePath + " does not come after " +
                               made.nodes.back().devicePath);
            return false;
        }
        made.nodes.push_back(*node);
    }
    return true;
}

void checkDevices(const Scenario& row, const std::vector<DeviceLog>& logs, const ChildOutcome& run,
                  std::vector<std::string>& problems) {
    std::vector<std::pair<Clock::time_point, std::size_t>> writes;
    for (std::size_t k = 0; k < logs.size(); ++k) {
        const DeviceLog& log = logs[k];
        const std::string name = deviceName(k, row.devices[k].kind);
        std::vector<Command> expected;
        for (const PortValues& ports : row.devices[k].expectedWrites) {
            expected.push_back(portCommand(ports));
        }
        if (log.commands != expected) {
            problems.push_back(name + " received " + describe(log.commands) + ", expected " +
                               describe(expected));
        }
        for (const std::string& fault : log.faults) {
            problems.push_back(name + ": " + fault);
        }
        if (log.closedBeforeReply) {
            problems.push_back(name +
                               " was closed before its reply was sent: a report with "
                               "another tag was taken for the reply");
        }
        for (const auto& at : log.commandTimes) {
            writes.emplace_back(at, k);
        }
    }
    std::ranges::sort(writes);
    if (!std::ranges::is_sorted(writes, {}, &std::pair<Clock::time_point, std::size_t>::second)) {
        problems.push_back("boards were not written in hidraw order");
    }

    if (row.replyWait) {
        if (writes.empty()) {
            problems.push_back("no board received a command, so nothing waited for a reply");
        } else {
            const auto waited =
                std::chrono::duration_cast<milliseconds>(run.endedAt - writes.back().first);
            if (waited < row.replyWait->atLeast || waited > row.replyWait->atMost) {
                problems.push_back("the tool ended " + std::to_string(count(waited)) +
                                   " ms after the last command, expected " +
                                   std::to_string(count(row.replyWait->atLeast)) + " to " +
                                   std::to_string(count(row.replyWait->atMost)) + " ms");
            }
        }
    }
}

void checkRun(const Scenario& row, const ChildOutcome& run, const std::vector<DeviceNode>& nodes,
              std::vector<std::string>& problems) {
    if (!run.started) {
        problems.push_back("could not start the tool: " + run.error);
        return;
    }
    if (run.timedOut) {
        problems.push_back("the tool hung and was killed");
    } else if (run.exitCode < 0) {
        problems.push_back("the tool died of signal " + std::to_string(run.signal));
    } else if (run.exitCode != row.expectedExitCode) {
        problems.push_back("exit code " + std::to_string(run.exitCode) + ", expected " +
                           std::to_string(row.expectedExitCode));
    }
    const std::string expected = withNodes(row.expectedOutput, nodes);
    const bool outputMatches =
        row.outputIsPrefix ? run.out.starts_with(expected) : run.out == expected;
    if (!outputMatches) {
        problems.push_back("standard output " + quoted(run.out) + ", expected " +
                           (row.outputIsPrefix ? "it to start with " : "") + quoted(expected));
    }
    if (!run.err.empty()) {
        problems.push_back("standard error " + quoted(run.err) + ", expected nothing");
    }
    const auto ran = std::chrono::duration_cast<milliseconds>(run.endedAt - run.startedAt);
    if (ran < row.minimumRunTime) {
        problems.push_back("the tool ran " + std::to_string(count(ran)) +
                           " ms, expected at least " + std::to_string(count(row.minimumRunTime)) +
                           " ms");
    }
}

}  // namespace

RowResult runScenario(const Scenario& row, const std::string& toolPath) {
    RowResult result;
    Devices made;
    if (createDevices(row, made, result.problems)) {
        if (row.unprivileged) {
            for (std::size_t k = 0; k < made.nodes.size(); ++k) {
                ::chmod(made.nodes[k].devicePath.c_str(), row.devices[k].rootOnly ? 0600 : 0666);
            }
        }
        ChildRequest request;
        request.argv.push_back(toolPath);
        request.argv.insert(request.argv.end(), row.arguments.begin(), row.arguments.end());
        if (row.unprivileged) {
            request.user = kNobody;
        }
        const ChildOutcome run = runChild(request);
        result.toolTime = std::chrono::duration_cast<milliseconds>(run.endedAt - run.startedAt);

        std::vector<DeviceLog> logs;
        for (auto& device : made.devices) {
            logs.push_back(device->finish());
        }
        checkRun(row, run, made.nodes, result.problems);
        checkDevices(row, logs, run, result.problems);
    }

    made.devices.clear();
    for (const DeviceNode& node : made.nodes) {
        if (!waitForRemoval(node, 5000ms)) {
            result.problems.push_back("teardown: " + node.devicePath + " is still there");
        }
    }
    return result;
}

}  // namespace e2e
