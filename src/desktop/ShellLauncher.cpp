#include "desktop/ShellLauncher.h"

#include <pthread.h>

#include "desktop/ProgramOpen.h"

namespace vx {

ShellLauncher::ShellLauncher(MessageSink& messages)
    : messages_(messages), worker_([this](std::stop_token stop) { Run(stop); }) {
    pthread_setname_np(worker_.native_handle(), "programLaunch");
}

ShellLauncher::~ShellLauncher() {
    worker_.request_stop();
    worker_.join();
}

void ShellLauncher::StartExternalProgram(const std::string& program,
                                         const std::string& parameters) {
    {
        std::lock_guard lock(mutex_);
        pending_.emplace_back(program, parameters);
    }
    wake_.notify_one();
}

void ShellLauncher::Run(std::stop_token stop) {
    for (;;) {
        std::pair<std::string, std::string> launch;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !pending_.empty(); })) {
                return;
            }
            launch = std::move(pending_.front());
            pending_.pop_front();
        }
        const auto& [program, parameters] = launch;
        const OpenFailure failure = OpenProgram(program, parameters);
        if (failure != OpenFailure::None) {
            messages_.Show(OpenFailureText(failure, program), "Error", MessageIcon::Critical);
        }
    }
}

}  // namespace vx
