// The floor of one board write: only what no process that writes a board can
// avoid. Opens the node, writes the port output command, reads the reply and
// closes; no discovery, no checks, no output. The benchmark times the tool
// against this.
// usbio2-bench-floor /dev/hidrawN
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 100;
    }
    const int fd = ::open(argv[1], O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return 1;
    }
    // Report ID 0, then the command that sets port 1 to 5 and port 2 to 6,
    // with tag 0 in its last byte: what "usbio2-write /s0 5 6" sends.
    unsigned char command[65] = {0x00, 0x20, 0x01, 0x05, 0x02, 0x06};
    if (::write(fd, command, sizeof command) != static_cast<ssize_t>(sizeof command)) {
        return 2;
    }
    // hidraw hands over the reply without a report-ID byte.
    unsigned char reply[64];
    if (::read(fd, reply, sizeof reply) != static_cast<ssize_t>(sizeof reply) || reply[63] != 0) {
        return 2;
    }
    ::close(fd);
    return 0;
}
