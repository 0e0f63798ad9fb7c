#include "device/SimulatedInstrument.h"

#include <algorithm>
#include <cmath>

#include "device/Frame.h"

namespace vx {

namespace {

using namespace std::chrono_literals;

constexpr auto kPacketPeriod = 10ms;
constexpr int kSamplesPerPacket = 10;

// Calibration of the simulated sensor: u = raw / 40 - 0.125 newton.
constexpr double kRawPerNewton = 40.0;
constexpr double kOffsetNewton = 0.125;

// Small deterministic noise in [-1, 1] for sample i.
double Noise(int64_t i) {
    uint64_t x = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 29;
    return static_cast<double>(x % 2001) / 1000.0 - 1.0;
}

// A repeating push test over five seconds: rest, rise to 320 N, hold, release.
double PushForce(int64_t ms) {
    const double t = static_cast<double>(ms % 5000);
    if (t < 1000)
        return 0.0;
    if (t < 2500)
        return 320.0 * (t - 1000) / 1500;
    if (t < 3000)
        return 320.0;
    if (t < 4000)
        return 320.0 * (4000 - t) / 1000;
    return 0.0;
}

}  // namespace

SimulatedInstrument::Identity SimulatedInstrument::DefaultIdentity() {
    // Five linearisation points, outputs (#Z64, #Z66, ...) slightly off the inputs.
    return Identity{{
        {"#I05", "VX212 FW 2.14"},
        {"#Y00", ""},
        {"#Z16", "588.55875"},  // with the program's constant: 1/40 N per digit
        {"#Z17", "0.125"},
        {"#Z18", "ZM418-000123"},
        {"#Z61", "500"},
        {"#Z62", "3"},
        {"#Z63", "1"},
        {"#Z64", "0"},
        {"#Z65", "0"},
        {"#Z66", "125.2"},
        {"#Z67", "125"},
        {"#Z68", "250.3"},
        {"#Z69", "250"},
        {"#Z70", "375.2"},
        {"#Z71", "375"},
        {"#Z72", "500"},
        {"#Z73", "500"},
        {"#Z74", "5"},
        {"#Z75", "N"},
        {"#Z76", "SN500N-4711"},
    }};
}

SimulatedInstrument::Profile SimulatedInstrument::PushTestProfile() {
    return [](int64_t i) {
        const double force = PushForce(i) + 0.25 * Noise(i);
        return static_cast<int16_t>(std::lround((force + kOffsetNewton) * kRawPerNewton));
    };
}

SimulatedInstrument::Profile SimulatedInstrument::SequenceProfile() {
    return [](int64_t i) { return static_cast<int16_t>(static_cast<uint16_t>(i & 0xFFFF)); };
}

SimulatedInstrument::SimulatedInstrument(ClockMode mode)
    : mode_(mode),
      realStart_(std::chrono::steady_clock::now()),
      identity_(DefaultIdentity()),
      profile_(PushTestProfile()) {}

void SimulatedInstrument::AdvanceClock(std::chrono::milliseconds step) {
    {
        Lock lock(mutex_);
        manualNow_ += step;
    }
    wake_.notify_all();
}

std::chrono::microseconds SimulatedInstrument::Now() const {
    Lock lock(mutex_);
    return NowLocked();
}

SimulatedInstrument::Micros SimulatedInstrument::NowLocked() const {
    if (mode_ == ClockMode::Manual) {
        return manualNow_;
    }
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - realStart_);
}

void SimulatedInstrument::WaitUntil(Lock& lock, Micros wakeAt) {
    if (mode_ == ClockMode::Manual) {
        wake_.wait(lock);
    } else {
        wake_.wait_until(lock, realStart_ + wakeAt);
    }
}

void SimulatedInstrument::SetIdentity(Identity identity) {
    Lock lock(mutex_);
    identity_ = std::move(identity);
}

void SimulatedInstrument::SetProfile(Profile profile) {
    Lock lock(mutex_);
    profile_ = std::move(profile);
}

void SimulatedInstrument::PressKey() {
    Lock lock(mutex_);
    pendingStatus_.push_back('3');
}

void SimulatedInstrument::SetAbsent(bool absent) {
    Lock lock(mutex_);
    absent_ = absent;
}

void SimulatedInstrument::SetInUse(bool inUse) {
    Lock lock(mutex_);
    inUse_ = inUse;
}

void SimulatedInstrument::SetAccessDenied(bool denied) {
    Lock lock(mutex_);
    accessDenied_ = denied;
}

void SimulatedInstrument::SetReplyFault(const std::string& code, ReplyFault fault) {
    Lock lock(mutex_);
    replyFaults_[code] = fault;
}

void SimulatedInstrument::SetReplyDelay(const std::string& code, std::chrono::milliseconds delay) {
    Lock lock(mutex_);
    replyDelays_[code] = delay;
}

void SimulatedInstrument::LoseConnection() {
    Lock lock(mutex_);
    pendingStatus_.push_back('5');
}

void SimulatedInstrument::StallStream(bool stalled) {
    {
        Lock lock(mutex_);
        streamStalled_ = stalled;
    }
    wake_.notify_all();
}

void SimulatedInstrument::StallCommands(bool stalled) {
    Lock lock(mutex_);
    commandsStalled_ = stalled;
}

void SimulatedInstrument::SetPacketBytes(int bytes) {
    Lock lock(mutex_);
    packetBytes_ = std::clamp(bytes, 0, 32);
}

void SimulatedInstrument::Unplug() {
    {
        Lock lock(mutex_);
        unplugged_ = true;
        absent_ = true;
    }
    wake_.notify_all();
}

std::vector<std::string> SimulatedInstrument::ReceivedCommands() const {
    Lock lock(mutex_);
    return commands_;
}

int SimulatedInstrument::WritesReceived() const {
    Lock lock(mutex_);
    return writes_;
}

int64_t SimulatedInstrument::SamplesSent() const {
    Lock lock(mutex_);
    return nextPacket_ * kSamplesPerPacket;
}

bool SimulatedInstrument::ReaderIdleLocked() const {
    return readerWaiting_ && (replyReads_.empty() || replyReads_.front().due > NowLocked());
}

bool SimulatedInstrument::ReaderWaiting() const {
    Lock lock(mutex_);
    return ReaderIdleLocked();
}

bool SimulatedInstrument::WaitForIdleReader(std::chrono::milliseconds limit) const {
    Lock lock(mutex_);
    return wake_.wait_for(lock, limit, [this] { return ReaderIdleLocked(); });
}

OpenOutcome SimulatedInstrument::Open() {
    Lock lock(mutex_);
    if (absent_)
        return OpenOutcome::NotFound;
    if (inUse_)
        return OpenOutcome::InUse;
    if (accessDenied_)
        return OpenOutcome::AccessDenied;
    open_ = true;
    streamStart_ = NowLocked();
    nextPacket_ = 0;
    replyReads_.clear();
    halfFrames_.clear();
    return OpenOutcome::Opened;
}

void SimulatedInstrument::Close() {
    {
        Lock lock(mutex_);
        open_ = false;
    }
    wake_.notify_all();
}

TransferResult SimulatedInstrument::Transfer(Pipe pipe, std::span<uint8_t> buffer,
                                             std::chrono::milliseconds timeout) {
    Lock lock(mutex_);
    if (unplugged_ && pipe == Pipe::R2) {
        return {TransferOutcome::NotCompleted, 0};
    }
    if (!open_ || unplugged_) {
        return {TransferOutcome::StartFailed, 0};
    }
    const Micros deadline = NowLocked() + timeout;
    switch (pipe) {
        case Pipe::R1:
            return ReadReplyPart(lock, buffer, deadline);
        case Pipe::R2:
            return ReadPacket(lock, buffer, deadline);
        case Pipe::S1:
            return WriteHalfFrame(buffer);
    }
    return {TransferOutcome::StartFailed, 0};
}

TransferResult SimulatedInstrument::ReadReplyPart(Lock& lock, std::span<uint8_t> buffer,
                                                  Micros deadline) {
    while (replyReads_.empty() || replyReads_.front().due > NowLocked()) {
        if (!open_ || unplugged_ || NowLocked() >= deadline) {
            readerWaiting_ = false;
            return {TransferOutcome::NotCompleted, 0};
        }
        if (!readerWaiting_) {
            readerWaiting_ = true;
            wake_.notify_all();
        }
        WaitUntil(lock,
                  replyReads_.empty() ? deadline : std::min(deadline, replyReads_.front().due));
    }
    readerWaiting_ = false;
    const std::vector<uint8_t> part = std::move(replyReads_.front().bytes);
    replyReads_.pop_front();
    const size_t n = std::min(part.size(), buffer.size());
    std::copy_n(part.begin(), n, buffer.begin());
    return {TransferOutcome::Completed, static_cast<int>(n)};
}

TransferResult SimulatedInstrument::ReadPacket(Lock& lock, std::span<uint8_t> buffer,
                                               Micros deadline) {
    for (;;) {
        const Micros now = NowLocked();
        const Micros due = streamStart_ + (nextPacket_ + 1) * kPacketPeriod;
        if (!open_ || unplugged_) {
            return {TransferOutcome::NotCompleted, 0};
        }
        if (!streamStalled_ && now >= due) {
            break;
        }
        if (now >= deadline) {
            return {TransferOutcome::NotCompleted, 0};
        }
        WaitUntil(lock, streamStalled_ ? deadline : std::min(deadline, due));
    }
    uint8_t packet[32] = {};
    for (int k = 0; k < kSamplesPerPacket; ++k) {
        const int64_t i = nextPacket_ * kSamplesPerPacket + k;
        const auto raw = static_cast<uint16_t>(profile_(i));
        uint8_t status = '0';
        if (!pendingStatus_.empty()) {
            status = pendingStatus_.front();
            pendingStatus_.pop_front();
        }
        packet[3 * k] = status;
        packet[3 * k + 1] = static_cast<uint8_t>(raw & 0xFF);
        packet[3 * k + 2] = static_cast<uint8_t>(raw >> 8);
    }
    ++nextPacket_;
    const size_t n = std::min(buffer.size(), static_cast<size_t>(packetBytes_));
    std::copy_n(packet, n, buffer.begin());
    return {TransferOutcome::Completed, static_cast<int>(n)};
}

TransferResult SimulatedInstrument::WriteHalfFrame(std::span<const uint8_t> buffer) {
    if (commandsStalled_) {
        return {TransferOutcome::NotCompleted, 0};
    }
    ++writes_;
    halfFrames_.insert(halfFrames_.end(), buffer.begin(), buffer.end());
    if (halfFrames_.size() >= 32) {
        const auto end = std::find(halfFrames_.begin(), halfFrames_.begin() + 32, 0);
        const std::string text(halfFrames_.begin(), end);
        halfFrames_.erase(halfFrames_.begin(), halfFrames_.begin() + 32);
        commands_.push_back(text);
        ObeyCommand(text);
        wake_.notify_all();
    }
    return {TransferOutcome::Completed, static_cast<int>(buffer.size())};
}

void SimulatedInstrument::ObeyCommand(const std::string& text) {
    const std::string code = text.substr(0, 4);
    if (code == "#A03") {
        pendingStatus_.push_back('1');  // new zero reference
    } else if (code == "#A13") {
        pendingStatus_.push_back('4');  // zero reference cleared
    } else if (code == "#B03") {
        pendingStatus_.push_back('2');  // peaks cleared
    } else if (code == "#Y01") {
        identity_.replies["#Y00"].clear();
    } else if (const auto reply = identity_.replies.find(code); reply != identity_.replies.end()) {
        QueueReply(code, reply->second);
    }
}

void SimulatedInstrument::QueueReply(const std::string& code, const std::string& payload) {
    const auto fault = replyFaults_.find(code);
    const ReplyFault kind = fault == replyFaults_.end() ? ReplyFault::None : fault->second;
    if (kind == ReplyFault::Unanswered) {
        return;
    }
    const auto delay = replyDelays_.find(code);
    const Micros due = NowLocked() + (delay == replyDelays_.end() ? Micros{0} : delay->second);
    std::vector<uint8_t> frame(32, 0);
    const std::string text = (code + payload).substr(0, 30);
    std::copy(text.begin(), text.end(), frame.begin());
    frame[text.size() + 1] = kEndOfFrame;
    if (kind == ReplyFault::Garbled) {
        frame[1] = '?';  // a code no query asked for
        std::replace(frame.begin() + 4, frame.end(), uint8_t{0}, uint8_t{0x7F});
    }
    if (kind == ReplyFault::Truncated) {
        replyReads_.push_back({due, {frame.begin(), frame.begin() + 6}});
        return;
    }
    // A frame whose end marker lies in its first half comes in one read, else in two.
    replyReads_.push_back({due, {frame.begin(), frame.begin() + 16}});
    if (text.size() + 2 > 16) {
        replyReads_.push_back({due, {frame.begin() + 16, frame.end()}});
    }
}

}  // namespace vx
