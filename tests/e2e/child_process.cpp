#include "child_process.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace e2e {
namespace {

class Pipe {
  public:
    Pipe() {
        if (::pipe2(fds_, O_CLOEXEC) != 0) {
            fds_[0] = fds_[1] = -1;
        }
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        closeRead();
        closeWrite();
    }
    bool ok() const { return fds_[0] >= 0; }
    int readEnd() const { return fds_[0]; }
    int writeEnd() const { return fds_[1]; }
    void closeRead() { closeOne(fds_[0]); }
    void closeWrite() { closeOne(fds_[1]); }

  private:
    static void closeOne(int& fd) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    int fds_[2];
};

// Only async-signal-safe calls: the parent has threads serving the boards.
[[noreturn]] void becomeChild(const ChildRequest& request, char* const* argv, char* const* envp,
                              int outFd, int errFd) {
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    if (outFd >= 0) {
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
    }
    if (request.user) {
        const gid_t group = static_cast<gid_t>(*request.user);
        if (::setgroups(0, nullptr) != 0 || ::setgid(group) != 0 || ::setuid(*request.user) != 0) {
            ::_exit(126);
        }
    }
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

}  // namespace

ChildOutcome runChild(const ChildRequest& request) {
    ChildOutcome outcome;
    std::vector<char*> argv;
    for (const std::string& argument : request.argv) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    // No LANG: the tool runs in the C locale and must still write its text.
    char path[] = "PATH=/bin:/sbin";
    char* envp[] = {path, nullptr};

    Pipe out;
    Pipe err;
    if (request.captureOutput && (!out.ok() || !err.ok())) {
        outcome.error = std::string("pipe: ") + std::strerror(errno);
        return outcome;
    }
    outcome.startedAt = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) {
        outcome.error = std::string("fork: ") + std::strerror(errno);
        return outcome;
    }
    if (pid == 0) {
        becomeChild(request, argv.data(), envp, request.captureOutput ? out.writeEnd() : -1,
                    err.writeEnd());
    }
    outcome.started = true;
    out.closeWrite();
    err.closeWrite();

    const auto deadline = outcome.startedAt + request.limit;
    if (request.captureOutput) {
        pollfd fds[2] = {{out.readEnd(), POLLIN, 0}, {err.readEnd(), POLLIN, 0}};
        std::string* sinks[2] = {&outcome.out, &outcome.err};
        int open = 2;
        while (open > 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                outcome.timedOut = true;
                break;
            }
            const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
            if (ready < 0 && errno != EINTR) {
                break;
            }
            for (int i = 0; i < 2; ++i) {
                if (fds[i].fd < 0 || fds[i].revents == 0) {
                    continue;
                }
                char buffer[4096];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || errno != EINTR) {
                    fds[i].fd = -1;
                    --open;
                }
            }
        }
    }

    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            break;
        }
        if (outcome.timedOut || Clock::now() >= deadline) {
            outcome.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        ::usleep(1000);
    }
    outcome.endedAt = Clock::now();
    if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

}  // namespace e2e
