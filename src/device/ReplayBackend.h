#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/Recording.h"
#include "device/UsbBackend.h"

namespace vx {

// An instrument that plays a recorded session. A command written to S1 is answered
// with the reply reads that followed the same command in the recording, the answers
// to a command taken in their recorded order and from the first again when used up;
// a command the recording never saw is answered with nothing, as by a silent
// instrument. The stream plays the recorded packets at their recorded pace, or as
// fast as they are read, and starts again from its first packet at its end.
class ReplayBackend final : public UsbBackend {
  public:
    enum class Pacing { RealTime, AsFastAsRead };

    explicit ReplayBackend(const Recording& recording, Pacing pacing = Pacing::RealTime);

    OpenOutcome Open() override;
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override;
    void Close() override;

    // True while a reply read waits with no reply queued: every answer so far has
    // been read.
    bool ReaderIdle() const;

  private:
    using Clock = std::chrono::steady_clock;
    using Reads = std::vector<std::vector<uint8_t>>;

    struct Answers {
        std::vector<Reads> answers;  // in recorded order
        size_t next = 0;
    };

    TransferResult ReadReply(std::span<uint8_t> buffer, std::chrono::milliseconds timeout);
    TransferResult ReadPacket(std::span<uint8_t> buffer, std::chrono::milliseconds timeout);
    void Answer(const std::string& command);

    const Pacing pacing_;
    std::map<std::string, Answers> answers_;
    std::vector<RecordedTransfer> stream_;
    std::chrono::microseconds streamLength_{0};  // one pass, with the pause before it repeats

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool open_ = false;
    bool readerWaiting_ = false;
    std::vector<uint8_t> halfFrames_;
    std::deque<std::vector<uint8_t>> replyReads_;
    Clock::time_point streamStart_;
    uint64_t nextPacket_ = 0;  // counts over the repeats
};

}  // namespace vx
