// Runs one command and prints its peak resident memory in KiB. A separate,
// tiny program: the kernel counts the memory a child had before exec into its
// peak, so a child forked from the big benchmark driver would report the
// driver's size instead of the command's.
// usbio2-bench-peak PROGRAM [ARGUMENTS...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: usbio2-bench-peak PROGRAM [ARGUMENTS...]\n");
        return 100;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return 101;
    }
    if (child == 0) {
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child) {
        return 101;
    }
    std::printf("%ld\n", usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 102;
}
