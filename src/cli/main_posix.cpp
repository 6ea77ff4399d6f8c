// Entry point on POSIX systems: arguments arrive as bytes in the locale's
// encoding and are decoded once, here.
#include <langinfo.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "board/hid_layer.hpp"
#include "cli/console_output.hpp"
#include "cli/run_sequence.hpp"
#include "cli/text_encoding.hpp"

int main(int argc, char** argv) {
    // The tool's text depends on the locale's encoding alone, so only the
    // character category is taken from the environment, and only where the
    // name leaves the encoding open.
    if (usbio2::needsLocaleLoaded(usbio2::characterLocaleName(
            std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG")))) {
        std::setlocale(LC_CTYPE, "");
    }
    // A reader that closes our output early must not stop us half-way
    // through writing the boards.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::wstring> arguments;
    arguments.reserve(static_cast<std::size_t>(argc > 0 ? argc - 1 : 0));
    const bool utf8 = usbio2::convertsLikeUtf8(::nl_langinfo(CODESET));
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(utf8 ? usbio2::decodeUtf8(argv[i]) : usbio2::decodeArgument(argv[i]));
    }

    auto hid = usbio2::makeSystemHidLayer();
    auto out = usbio2::makeStandardOutput();
    usbio2::RunEnvironment env{
        .hid = *hid,
        .out = *out,
        .sleep = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
        .udevAdvice = true,
    };
    return usbio2::runTool(arguments, env);
}
