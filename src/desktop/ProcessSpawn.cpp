#include "desktop/ProcessSpawn.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace vx {

namespace {

std::vector<char*> ArgumentPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& a : argv) {
        pointers.push_back(const_cast<char*>(a.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// The child starts with no blocked signals and default dispositions, whatever this
// program's threads have set up; with setSession it also leaves our session.
class SpawnAttributes {
  public:
    explicit SpawnAttributes(bool setSession) {
        posix_spawnattr_init(&attr_);
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attr_, &none);
        posix_spawnattr_setsigdefault(&attr_, &all);
        short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
        if (setSession) {
            flags |= POSIX_SPAWN_SETSID;
        }
        posix_spawnattr_setflags(&attr_, flags);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

  private:
    posix_spawnattr_t attr_;
};

}  // namespace

int SpawnDetached(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) {
        return ENOENT;
    }
    const SpawnAttributes attributes(true);
    std::vector<char*> pointers = ArgumentPointers(argv);
    pid_t pid = 0;
    const int error =
        posix_spawnp(&pid, pointers[0], nullptr, attributes.get(), pointers.data(), environ);
    if (error != 0) {
        return error;  // the C library has reaped a child whose exec failed
    }
    // Nobody waits for the program; this thread collects its exit status.
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return 0;
}

std::optional<std::string> RunForOutput(const std::vector<std::string>& argv) {
    int pipeEnds[2];
    if (argv.empty() || pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const SpawnAttributes attributes(false);
    std::vector<char*> pointers = ArgumentPointers(argv);
    pid_t pid = 0;
    const int error =
        posix_spawnp(&pid, pointers[0], &actions, attributes.get(), pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string output;
    if (error == 0) {
        char buffer[512];
        ssize_t n = 0;
        while ((n = read(pipeEnds[0], buffer, sizeof buffer)) != 0) {
            if (n > 0) {
                output.append(buffer, static_cast<size_t>(n));
            } else if (errno != EINTR) {
                break;
            }
        }
    }
    close(pipeEnds[0]);
    if (error != 0) {
        return std::nullopt;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return std::nullopt;
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return output;
}

}  // namespace vx
