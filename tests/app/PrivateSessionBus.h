#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/TempFolder.h"

extern char** environ;

namespace vx::test {

// A session bus of this test process: a dbus-daemon with a session configuration of its
// own that activates no services, so nothing answers on it but what the test puts there.
// Address() is empty when the daemon did not come up within ten seconds.
class PrivateSessionBus {
  public:
    PrivateSessionBus() {
        const std::string config = (folder_.Path() / "bus.conf").string();
        WriteBytes(folder_.Path() / "bus.conf",
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type>"
                   "<listen>unix:dir=" +
                       folder_.Path().string() +
                       "</listen><auth>EXTERNAL</auth>"
                       "<policy context=\"default\"><allow send_destination=\"*\" "
                       "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                       "</policy></busconfig>\n");
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], 3);  // for --print-address
        // A daemon left behind by a killed test must not hold the test's output open.
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const std::string configOption = "--config-file=" + config;
        char* argv[] = {const_cast<char*>("dbus-daemon"), const_cast<char*>("--nofork"),
                        const_cast<char*>("--print-address=3"),
                        const_cast<char*>(configOption.c_str()), nullptr};
        const bool started =
            posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        if (!started) {
            pid_ = 0;
        }
        std::string address;
        pollfd wait{ends[0], POLLIN, 0};
        while (started && address.find('\n') == std::string::npos && poll(&wait, 1, 10000) > 0) {
            char c[256];
            const ssize_t n = read(ends[0], c, sizeof c);
            if (n <= 0) {
                break;
            }
            address.append(c, static_cast<size_t>(n));
        }
        close(ends[0]);
        if (address.find('\n') != std::string::npos) {
            address_ = address.substr(0, address.find('\n'));
        }
    }
    ~PrivateSessionBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    const std::string& Address() const { return address_; }

  private:
    TempFolder folder_;
    pid_t pid_ = 0;
    std::string address_;
};

}  // namespace vx::test
