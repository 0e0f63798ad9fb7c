#pragma once

#include <atomic>
#include <thread>

namespace vx {

class CommandProtocol;

// The command thread "commandData": reads and decodes reply frames until it is asked
// to stop or a read fails. Destruction asks it to stop and waits for its loop.
class TDataThread {
  public:
    explicit TDataThread(CommandProtocol& protocol);
    bool Finished() const { return finished_.load(std::memory_order_acquire); }

  private:
    void Execute(std::stop_token stop);

    CommandProtocol& protocol_;
    std::atomic<bool> finished_{false};
    std::jthread thread_;  // last: starts once everything it uses exists
};

// Gives the calling thread a name a debugger and `top -H` show.
void NameCurrentThread(const char* name);

}  // namespace vx
