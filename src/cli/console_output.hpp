// Where the tool's messages go: standard output, in the user's encoding.
#pragma once

#include <memory>
#include <string_view>

namespace usbio2 {

class ConsoleOutput {
  public:
    virtual ~ConsoleOutput() = default;
    // Writes the message at once, so it is out before any board is touched
    // and still arrives if the process ends right after.
    virtual void write(std::wstring_view text) = 0;
};

// Standard output of this process, as the platform writes it.
std::unique_ptr<ConsoleOutput> makeStandardOutput();

}  // namespace usbio2
