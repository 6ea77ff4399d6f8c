// Times usbio2-write against the floor inside the test machine: one virtual
// board, served by a thread of this program, and 0 to 63 decoy HID devices
// beside it. Prints a table, JSON and every single time, each between marker
// lines, so the host can take them off the serial console.
// usbio2-bench [--tool PATH] [--floor PATH] [--peak PATH] [--runs N]
//              [--decoys 0,16,32,63] [--host TEXT]
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "decoy_device.hpp"
#include "device_nodes.hpp"
#include "report.hpp"
#include "results.hpp"
#include "timed_run.hpp"
#include "virtual_device.hpp"

namespace {

using namespace std::chrono_literals;

constexpr int kHidrawMinors = 64;
constexpr int kWarmUpRuns = 10;
constexpr int kPeakRuns = 3;
constexpr auto kRunLimit = 10s;

struct Options {
    std::string tool = "/bin/usbio2-write";
    std::string floor = "/bin/usbio2-bench-floor";
    std::string peak = "/bin/usbio2-bench-peak";
    int runs = 200;
    std::vector<int> decoys = {0, 16, 32, 63};
    std::string host = "unknown";
};

bool parseNumber(const std::string& text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= 0;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--tool") {
            options.tool = value;
        } else if (name == "--floor") {
            options.floor = value;
        } else if (name == "--peak") {
            options.peak = value;
        } else if (name == "--host") {
            options.host = value;
        } else if (name == "--runs") {
            if (!parseNumber(value, options.runs) || options.runs == 0) {
                return std::nullopt;
            }
        } else if (name == "--decoys") {
            options.decoys.clear();
            std::size_t start = 0;
            while (start <= value.size()) {
                const std::size_t comma = std::min(value.find(',', start), value.size());
                int count = 0;
                if (!parseNumber(value.substr(start, comma - start), count) ||
                    count >= kHidrawMinors) {
                    return std::nullopt;
                }
                options.decoys.push_back(count);
                start = comma + 1;
            }
            std::ranges::sort(options.decoys);
        } else {
            return std::nullopt;
        }
    }
    if (argc % 2 == 0) {
        return std::nullopt;
    }
    return options;
}

std::uint64_t fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::string guestDescription() {
    std::string text;
    utsname names{};
    if (::uname(&names) == 0) {
        text += std::string("Linux ") + names.release + ", ";
    }
    text += std::to_string(::sysconf(_SC_NPROCESSORS_ONLN)) + " CPUs";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) {
            text += ", " + line.substr(line.find(':') + 2);
            break;
        }
    }
    return text;
}

// The peak resident memory in KiB of one run, through the small probe.
std::optional<long> peakOf(const Options& options, std::vector<std::string> command,
                           const std::vector<std::string>& environment) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    command.insert(command.begin(), options.peak);
    const bench::TimedRun run = bench::timeRun(command, environment, pipeFds[1], kRunLimit);
    ::close(pipeFds[1]);
    char buffer[32] = {};
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer - 1);
    ::close(pipeFds[0]);
    long value = 0;
    if (run.exitCode != 0 || n <= 0 ||
        std::from_chars(buffer, buffer + n, value).ec != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

// Times `runs` pairs of floor and tool runs, after a few untimed ones that
// bring the page cache and the kernel's state to where repeated calls find
// them. Nothing when a run fails: its times would mean nothing.
std::optional<bench::LevelSamples> measureLevel(int decoys, int runs,
                                                const std::vector<std::string>& floorCommand,
                                                const std::vector<std::string>& toolCommand,
                                                const std::vector<std::string>& environment,
                                                int outputFd) {
    bench::LevelSamples samples;
    samples.decoys = decoys;
    for (int i = -kWarmUpRuns; i < runs; ++i) {
        // Alternate which goes first, so neither always follows the other.
        const bool floorFirst = i % 2 == 0;
        for (int k = 0; k < 2; ++k) {
            const bool isFloor = (k == 0) == floorFirst;
            const auto& command = isFloor ? floorCommand : toolCommand;
            const bench::TimedRun run = bench::timeRun(command, environment, outputFd, kRunLimit);
            if (run.exitCode != 0) {
                std::printf("usbio2-bench: %s %s\n", command[0].c_str(),
                            run.timedOut
                                ? "timed out"
                                : ("failed, exit code " + std::to_string(run.exitCode)).c_str());
                return std::nullopt;
            }
            if (i >= 0) {
                const double us = std::chrono::duration<double, std::micro>(run.elapsed).count();
                (isFloor ? samples.floorUs : samples.toolUs).push_back(us);
                (isFloor ? samples.floorFaults : samples.toolFaults)
                    .push_back(static_cast<double>(run.minorFaults));
            }
        }
    }
    return samples;
}

void announce(const char* marker) { std::printf("=== usbio2-bench %s ===\n", marker); }

int fail(const std::string& why) {
    std::printf("usbio2-bench: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> parsed = parseOptions(argc, argv);
    if (!parsed) {
        std::fprintf(stderr,
                     "usage: usbio2-bench [--tool PATH] [--floor PATH] [--peak PATH] [--runs N] "
                     "[--decoys 0,16,32,63] [--host TEXT]\n");
        return 100;
    }
    const Options& options = *parsed;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bench::prepareTimedRuns();

    std::vector<std::string> environment = {"PATH=/bin:/sbin"};
    const char* lang = std::getenv("LANG");
    if (lang != nullptr) {
        environment.push_back(std::string("LANG=") + lang);
    }
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);

    std::string error;
    auto board = e2e::VirtualDevice::create({}, "bench-board", error);
    if (!board) {
        return fail(error);
    }
    const auto node = e2e::waitForNode(board->uniq(), 10s);
    if (!node) {
        return fail("the board got no hidraw node");
    }
    const std::vector<std::string> floorCommand = {options.floor, node->devicePath};
    const std::vector<std::string> toolCommand = {options.tool, "/s0", "5", "6"};

    std::vector<std::unique_ptr<bench::DecoyDevice>> decoys;
    std::vector<bench::LevelSamples> levels;
    long toolPeak = 0;
    long floorPeak = 0;
    int commandsSent = 0;
    for (const int level : options.decoys) {
        while (static_cast<int>(decoys.size()) < level) {
            const int n = static_cast<int>(decoys.size());
            const std::string uniq = "bench-decoy" + std::to_string(n);
            auto decoy = bench::DecoyDevice::create(bench::decoyVendor(n), bench::decoyProduct(n),
                                                    uniq, error);
            if (!decoy || !e2e::waitForNode(uniq, 10s)) {
                return fail("decoy " + std::to_string(n) + " did not appear: " + error);
            }
            decoys.push_back(std::move(decoy));
        }

        std::optional<bench::LevelSamples> samples =
            measureLevel(level, options.runs, floorCommand, toolCommand, environment, devNull);
        if (!samples) {
            return 1;
        }
        commandsSent += 2 * (kWarmUpRuns + options.runs);
        for (int i = 0; i < kPeakRuns; ++i) {
            const auto tool = peakOf(options, toolCommand, environment);
            const auto floor = peakOf(options, floorCommand, environment);
            commandsSent += 2;
            if (!tool || !floor) {
                return fail("the peak memory probe failed");
            }
            toolPeak = std::max(toolPeak, *tool);
            floorPeak = std::max(floorPeak, *floor);
        }
        const bench::Spread floor = bench::spreadOf(samples->floorUs);
        const bench::Spread tool = bench::spreadOf(samples->toolUs);
        std::fprintf(stderr, "usbio2-bench: %d decoys: floor %.0f us, tool %.0f us\n", level,
                     floor.median, tool.median);
        levels.push_back(std::move(*samples));
    }

    const e2e::DeviceLog log = board->finish();
    if (!log.faults.empty()) {
        return fail("the board saw a fault: " + log.faults.front());
    }
    // Port 1 to 5, port 2 to 6, tag 0: the only command either program sends.
    const e2e::Command expected = {0x20, 0x01, 0x05, 0x02, 0x06};
    if (static_cast<int>(log.commands.size()) != commandsSent ||
        !std::ranges::all_of(log.commands, [&](const e2e::Command& c) { return c == expected; })) {
        return fail("the board received " + std::to_string(log.commands.size()) +
                    " commands, not the " + std::to_string(commandsSent) + " expected");
    }

    const bench::Figures figures = bench::computeFigures(
        levels, toolPeak, floorPeak, fileSize(options.tool), fileSize(options.floor));
    const bench::Setting setting{"usbio2-write /s0 5 6", options.host, guestDescription(),
                                 lang != nullptr ? lang : ""};
    announce("table");
    std::fputs(bench::formatTable(setting, figures).c_str(), stdout);
    announce("json");
    std::fputs(bench::formatJson(setting, figures).c_str(), stdout);
    announce("samples");
    std::fputs(bench::formatSamplesCsv(levels).c_str(), stdout);
    announce("end");
    return 0;
}
