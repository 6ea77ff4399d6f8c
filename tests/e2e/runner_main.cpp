// Runs the end-to-end table inside the test machine: every row against the
// real tool and virtual boards, one PASS or FAIL line each, and a summary.
// usbio2-e2e-runner [--tool PATH] [WORDS...]: only rows whose name holds one
// of the words, when any are given.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "scenario.hpp"
#include "scenario_run.hpp"

namespace {

bool wanted(const std::string& name, const std::vector<std::string>& words) {
    if (words.empty()) {
        return true;
    }
    for (const std::string& word : words) {
        if (name.find(word) != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string tool = "/bin/usbio2-write";
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--tool" && i + 1 < argc) {
            tool = argv[++i];
        } else {
            words.push_back(argument);
        }
    }
    if (::access("/dev/uhid", R_OK | W_OK) != 0) {
        std::printf("FAIL  /dev/uhid is missing or not writable: load uhid, run as root\n");
        return 2;
    }

    int passed = 0;
    int failed = 0;
    for (const e2e::Scenario& row : e2e::scenarioTable()) {
        if (!wanted(row.name, words)) {
            continue;
        }
        const e2e::RowResult result = e2e::runScenario(row, tool);
        if (result.problems.empty()) {
            ++passed;
            std::printf("PASS  %s (%ld ms)\n", row.name.c_str(),
                        static_cast<long>(result.toolTime.count()));
        } else {
            ++failed;
            std::printf("FAIL  %s\n", row.name.c_str());
            for (const std::string& problem : result.problems) {
                std::printf("      - %s\n", problem.c_str());
            }
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
