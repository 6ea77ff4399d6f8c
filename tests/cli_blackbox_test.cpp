// Runs the built executable and compares its standard output byte for byte,
// so the wiring of main (locale, argument decoding, output, exit code) is
// covered too. The machine running the tests has no boards attached.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "usbio2_version.h"

namespace usbio2 {
namespace {

struct Outcome {
    std::string output;
    int exitCode = -1;
};

Outcome runTool(const std::string& locale, const std::string& arguments) {
    const std::string command =
        "env -i LANG=" + locale + " '" USBIO2_WRITE_PATH "' " + arguments + " 2>/dev/null";
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    std::array<char, 256> buffer;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        outcome.output.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

const std::string kNotFound =
    "USB-IO2\xE3\x81\x8C\xE8\xA6\x8B\xE3\x81\xA4\xE3\x81\x8B\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B"
    "\xE3\x82\x93\n";
const std::string kIndexLimit =
    "4\xE5\x80\x8B\xE4\xBB\xA5\xE4\xB8\x8A\xE3\x81\xAE\xE6\x8C\x87\xE5\xAE\x9A\xE3\x81\xAF\xE3\x82"
    "\xB5\xE3\x83\x9D\xE3\x83\xBC\xE3\x83\x88\xE3\x81\x97\xE3\x81\xA6\xE3\x81\x84\xE3\x81\xBE\xE3"
    "\x81\x9B\xE3\x82\x93";
const std::string kValueLimit =
    "1\xE5\x80\x8B\xE3\x81\xAE\xE3\x83\x87\xE3\x83\x90\xE3\x82\xA4\xE3\x82\xB9\xE3\x81\xAB"
    "2\xE5"
    "\x80\x8B\xE4\xBB\xA5\xE4\xB8\x8A\xE3\x81\xAE\xE5\x87\xBA\xE5\x8A\x9B\xE3\x81\xAF\xE8\xA8\xAD"
    "\xE5\xAE\x9A\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\n";

struct BlackBoxCase {
    std::string arguments;
    std::string output;
    int exitCode;
};

class BlackBox : public ::testing::TestWithParam<std::string> {};

// The same bytes in a UTF-8 locale and in the C locale, whose fallback is UTF-8.
TEST_P(BlackBox, OutputAndExitCode) {
    const std::vector<BlackBoxCase> cases = {
        {"", kNotFound, 1},
        {"5 6", "0: 5,6\n" + kNotFound, 1},
        {"/s1 255", "1: ff,0\n" + kNotFound, 1},
        {"7 /s2 1 2 /t500", "0: 7,0\n2: 1,2\n" + kNotFound, 1},
        {"256 511", "0: 100,1ff\n" + kNotFound, 1},
        {"-1", "0: ffffffff,0\n" + kNotFound, 1},
        {"1 2 3", kValueLimit, 1},
        {"/s4", kIndexLimit, 1},  // no line ending, still delivered
        {"/s9 1", kIndexLimit, 1},
        {"/S1", "0: 0,0\n" + kNotFound, 1},
        {"'/s\xEF\xBC\x92' '\xEF\xBC\x91\xEF\xBC\x92'", "2: c,0\n" + kNotFound, 1},
        {"--list", kNotFound, 1},
        {"--help 5", "0: 0,5\n" + kNotFound, 1},
        {"--version", "usbio2-write " USBIO2_VERSION "\n", 0},
    };
    for (const BlackBoxCase& c : cases) {
        const Outcome outcome = runTool(GetParam(), c.arguments);
        EXPECT_EQ(outcome.output, c.output) << c.arguments;
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.arguments;
    }
}

// Help is printed without looking for boards, so it succeeds here.
TEST_P(BlackBox, HelpAloneSucceeds) {
    for (const char* word : {"--help", "-h", "'/?'"}) {
        const Outcome outcome = runTool(GetParam(), word);
        EXPECT_EQ(outcome.exitCode, 0) << word;
        EXPECT_NE(outcome.output.find("usbio2-write /s1 5 6 /t200"), std::string::npos) << word;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, BlackBox, ::testing::Values("C.UTF-8", "C"),
                         [](const auto& info) { return info.param == "C" ? "C" : "CUtf8"; });

}  // namespace
}  // namespace usbio2
