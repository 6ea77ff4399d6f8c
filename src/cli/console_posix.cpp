#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "cli/console_output.hpp"
#include "cli/text_encoding.hpp"

namespace usbio2 {
namespace {

class StandardOutput final : public ConsoleOutput {
  public:
    StandardOutput() : utf8_(convertsLikeUtf8(::nl_langinfo(CODESET))) {}

    void write(std::wstring_view text) override {
        const std::string bytes = utf8_ ? encodeUtf8(text) : encodeForOutput(text);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return;  // a closed or full output must not stop the boards being written
            }
            done += static_cast<std::size_t>(n);
        }
    }

  private:
    bool utf8_;
};

}  // namespace

std::unique_ptr<ConsoleOutput> makeStandardOutput() { return std::make_unique<StandardOutput>(); }

}  // namespace usbio2
