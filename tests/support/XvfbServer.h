#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace vx::test {

// An Xvfb server of this test process on a display number it picks itself; Display()
// is empty when it did not come up within ten seconds.
class XvfbServer {
  public:
    XvfbServer() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 3);  // for -displayfd
        // Its own output must not hold the test's pipe open after the test has ended.
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        char* argv[] = {const_cast<char*>("Xvfb"),
                        const_cast<char*>("-displayfd"),
                        const_cast<char*>("3"),
                        // No reset when the last client leaves: a connection made
                        // during the reset would be refused.
                        const_cast<char*>("-noreset"),
                        const_cast<char*>("-nolisten"),
                        const_cast<char*>("tcp"),
                        const_cast<char*>("-screen"),
                        const_cast<char*>("0"),
                        const_cast<char*>("640x480x24"),
                        nullptr};
        const bool started = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (!started) {
            pid_ = 0;
        }
        std::string number;
        pollfd wait{ends[0], POLLIN, 0};
        while (started && number.find('\n') == std::string::npos && poll(&wait, 1, 10000) > 0) {
            char c[16];
            const ssize_t n = read(ends[0], c, sizeof c);
            if (n <= 0) {
                break;
            }
            number.append(c, static_cast<size_t>(n));
        }
        close(ends[0]);
        if (number.find('\n') != std::string::npos) {
            display_ = ":" + number.substr(0, number.find('\n'));
        }
    }
    ~XvfbServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Display() const { return display_; }

  private:
    pid_t pid_ = 0;
    std::string display_;
};

}  // namespace vx::test
