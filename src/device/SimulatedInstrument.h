#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/UsbBackend.h"

namespace vx {

// A complete instrument behind the transport: it answers every query with a
// consistent identity, streams one sample per millisecond, obeys the zero and
// peak commands and can press its key. It runs in real time for the demo, or on a
// clock the test advances, and it can inject the faults a real link can show.
class SimulatedInstrument final : public UsbBackend {
  public:
    enum class ClockMode { RealTime, Manual };
    enum class ReplyFault { None, Unanswered, Garbled, Truncated };

    // Reply payloads by code, as the instrument sends them (8-bit Windows-1252).
    struct Identity {
        std::map<std::string, std::string> replies;
    };
    static Identity DefaultIdentity();

    // Raw value of sample number i (i counts from 0 at the open).
    using Profile = std::function<int16_t(int64_t i)>;
    static Profile PushTestProfile();
    static Profile SequenceProfile();  // raw = i, wrapping at 16 bits

    explicit SimulatedInstrument(ClockMode mode = ClockMode::RealTime);

    // Manual clock only: moves simulated time on and wakes every transfer waiting on it.
    void AdvanceClock(std::chrono::milliseconds step);
    std::chrono::microseconds Now() const;

    void SetIdentity(Identity identity);
    void SetProfile(Profile profile);
    void PressKey();

    void SetAbsent(bool absent);
    void SetInUse(bool inUse);
    void SetAccessDenied(bool denied);
    void SetReplyFault(const std::string& code, ReplyFault fault);
    // Every reply to code comes this much simulated time after its query; the replies
    // to later queries wait behind it, as in the device's one reply pipe.
    void SetReplyDelay(const std::string& code, std::chrono::milliseconds delay);
    void LoseConnection();             // the next sample carries status '5'
    void StallStream(bool stalled);    // R2 delivers nothing
    void StallCommands(bool stalled);  // S1 writes never complete
    void SetPacketBytes(int bytes);    // short packets: only this many bytes arrive
    // Pulled off the bus: the stream reads under way end unfinished, as every read
    // queued in the device does, the other transfers cannot start, and it is not found.
    void Unplug();

    // What the instrument has received and sent, for tests and the diagnostic.
    std::vector<std::string> ReceivedCommands() const;
    int WritesReceived() const;
    int64_t SamplesSent() const;
    // True while a reply read waits with nothing due.
    bool ReaderWaiting() const;
    // Blocks, for at most limit of real time, until every queued reply has been read
    // and the reader waits for the next one: the reply before has been dealt with.
    bool WaitForIdleReader(std::chrono::milliseconds limit) const;

    OpenOutcome Open() override;
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override;
    void Close() override;

  private:
    using Lock = std::unique_lock<std::mutex>;
    using Micros = std::chrono::microseconds;

    TransferResult ReadReplyPart(Lock& lock, std::span<uint8_t> buffer, Micros deadline);
    TransferResult ReadPacket(Lock& lock, std::span<uint8_t> buffer, Micros deadline);
    TransferResult WriteHalfFrame(std::span<const uint8_t> buffer);
    void ObeyCommand(const std::string& text);
    void QueueReply(const std::string& code, const std::string& payload);
    // Waits until woken or until the simulated time reaches wakeAt.
    void WaitUntil(Lock& lock, Micros wakeAt);
    Micros NowLocked() const;
    bool ReaderIdleLocked() const;

    const ClockMode mode_;
    const std::chrono::steady_clock::time_point realStart_;
    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    Micros manualNow_{0};

    Identity identity_;
    Profile profile_;
    bool absent_ = false, inUse_ = false, accessDenied_ = false, unplugged_ = false;
    bool streamStalled_ = false, commandsStalled_ = false;
    int packetBytes_ = 32;
    std::map<std::string, ReplyFault> replyFaults_;
    std::map<std::string, Micros> replyDelays_;

    bool open_ = false;
    Micros streamStart_{0};
    int64_t nextPacket_ = 0;
    std::deque<uint8_t> pendingStatus_;
    struct ReplyRead {
        Micros due;
        std::vector<uint8_t> bytes;
    };
    std::deque<ReplyRead> replyReads_;  // what each coming R1 read delivers, and when
    std::vector<uint8_t> halfFrames_;
    std::vector<std::string> commands_;
    int writes_ = 0;
    bool readerWaiting_ = false;
};

}  // namespace vx
