// Virtual boards around one command: makes the boards, runs the command
// while they exist, then tells what each board now drives. For trying the
// tool without hardware, and for anything else that needs boards to talk to.
// usbio2-board-sim [--boards N] -- COMMAND [ARGUMENTS...]
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "device_nodes.hpp"
#include "virtual_device.hpp"

namespace {

using namespace std::chrono_literals;

constexpr int kMaxBoards = 64;  // hidraw minors the kernel has

int usage() {
    std::fprintf(stderr, "usage: usbio2-board-sim [--boards N] -- COMMAND [ARGUMENTS...]\n");
    return 100;
}

}  // namespace

int main(int argc, char** argv) {
    int boards = 2;
    int i = 1;
    for (; i < argc && std::string(argv[i]) != "--"; ++i) {
        const std::string option = argv[i];
        if (option == "--boards" && i + 1 < argc) {
            const std::string value = argv[++i];
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), boards);
            if (error != std::errc{} || end != value.data() + value.size() || boards < 0 ||
                boards > kMaxBoards) {
                return usage();
            }
        } else {
            return usage();
        }
    }
    if (i + 1 >= argc) {
        return usage();
    }

    std::vector<std::unique_ptr<e2e::VirtualDevice>> devices;
    std::vector<e2e::DeviceNode> nodes;
    for (int k = 0; k < boards; ++k) {
        // Alternate the two product IDs, so both kinds are always present.
        const e2e::DeviceSpec kind{e2e::kBoardVendor,
                                   k % 2 == 0 ? e2e::kBoardProduct : e2e::kBoardProductB};
        std::string error;
        auto device = e2e::VirtualDevice::create(kind, "vboard" + std::to_string(k), error);
        if (!device) {
            std::fprintf(stderr, "usbio2-board-sim: %s\n", error.c_str());
            return 101;
        }
        const auto node = e2e::waitForNode(device->uniq(), 5000ms);
        if (!node) {
            std::fprintf(stderr, "usbio2-board-sim: board %d has no hidraw node\n", k);
            return 101;
        }
        devices.push_back(std::move(device));
        nodes.push_back(*node);
    }

    e2e::ChildRequest request;
    request.argv.assign(argv + i + 1, argv + argc);
    request.captureOutput = false;
    request.limit = 600s;
    const e2e::ChildOutcome run = e2e::runChild(request);
    if (!run.started) {
        std::fprintf(stderr, "usbio2-board-sim: %s\n", run.error.c_str());
        return 101;
    }
    if (run.timedOut) {
        std::printf("-- %s was stopped after %lld s\n", request.argv[0].c_str(),
                    static_cast<long long>(request.limit.count() / 1000));
    } else if (run.exitCode >= 0) {
        std::printf("-- exit code %d\n", run.exitCode);
    } else {
        std::printf("-- killed by signal %d\n", run.signal);
    }
    for (std::size_t k = 0; k < devices.size(); ++k) {
        const e2e::DeviceLog log = devices[k]->finish();
        const e2e::DeviceSpec& kind = devices[k]->kind();
        std::printf("board %zu (%s, %04x:%04x): ", k, nodes[k].devicePath.c_str(), kind.vendorId,
                    kind.productId);
        if (log.ports) {
            std::printf("port 1 = %u (0x%02x), port 2 = %u (0x%02x)", log.ports->port1,
                        log.ports->port1, log.ports->port2, log.ports->port2);
            if (log.commands.size() > 1) {
                std::printf(", after %zu commands", log.commands.size());
            }
            std::printf("\n");
        } else {
            std::printf("not written\n");
        }
        for (const std::string& fault : log.faults) {
            std::printf("board %zu: %s\n", k, fault.c_str());
        }
    }
    return run.exitCode >= 0 ? run.exitCode : 102;
}
