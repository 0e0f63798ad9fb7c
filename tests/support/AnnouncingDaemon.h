#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace vx::test {

// A helper program of this test process that announces where to reach it with one
// line on file descriptor 3 (Xvfb's display number, dbus-daemon's address). Line() is
// empty when it did not announce itself within ten seconds. Ended with the test.
class AnnouncingDaemon {
  public:
    explicit AnnouncingDaemon(std::vector<std::string> args) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 3);
        // Its own output must not hold the test's pipe open after the test has ended.
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const bool started =
            posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (!started) {
            pid_ = 0;
        }
        std::string text;
        pollfd wait{ends[0], POLLIN, 0};
        while (started && text.find('\n') == std::string::npos && poll(&wait, 1, 10000) > 0) {
            char c[256];
            const ssize_t n = read(ends[0], c, sizeof c);
            if (n <= 0) {
                break;
            }
            text.append(c, static_cast<size_t>(n));
        }
        close(ends[0]);
        if (text.find('\n') != std::string::npos) {
            line_ = text.substr(0, text.find('\n'));
        }
    }
    ~AnnouncingDaemon() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    AnnouncingDaemon(const AnnouncingDaemon&) = delete;
    AnnouncingDaemon& operator=(const AnnouncingDaemon&) = delete;

    const std::string& Line() const { return line_; }

  private:
    pid_t pid_ = 0;
    std::string line_;
};

}  // namespace vx::test
