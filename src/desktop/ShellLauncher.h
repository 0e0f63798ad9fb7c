#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

#include "base/MessageSink.h"
#include "desktop/ProgramLauncher.h"

namespace vx {

// Opens the external program with OpenProgram on a thread of its own, one launch after
// another: looking up a document's file type takes the desktop's tools a second or
// more, which the poll cannot wait for. A failure to start is shown in a box with the
// critical icon; nothing is retried.
class ShellLauncher final : public ProgramLauncher {
  public:
    explicit ShellLauncher(MessageSink& messages);
    // Finishes the launch in progress; those not begun are dropped.
    ~ShellLauncher() override;
    void StartExternalProgram(const std::string& program, const std::string& parameters) override;

  private:
    void Run(std::stop_token stop);

    MessageSink& messages_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<std::pair<std::string, std::string>> pending_;
    std::jthread worker_;  // last: it starts once the rest exists
};

}  // namespace vx
