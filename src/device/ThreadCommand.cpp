#include "device/ThreadCommand.h"

#include <pthread.h>

#include "device/CommandProtocol.h"

namespace vx {

void NameCurrentThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

TDataThread::TDataThread(CommandProtocol& protocol)
    : protocol_(protocol), thread_([this](std::stop_token stop) { Execute(stop); }) {}

void TDataThread::Execute(std::stop_token stop) {
    NameCurrentThread("commandData");
    while (!stop.stop_requested() && protocol_.ReadReply()) {
    }
    finished_.store(true, std::memory_order_release);
}

}  // namespace vx
