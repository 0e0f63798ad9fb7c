#include "device/ReplayBackend.h"

#include <algorithm>

namespace vx {

namespace {

constexpr size_t kFrameBytes = 32;
constexpr auto kPacketPeriod = std::chrono::microseconds(10'000);

// The command text of a 32-byte frame: up to its zero byte.
std::string CommandText(const std::vector<uint8_t>& frame) {
    const auto end = std::find(frame.begin(), frame.begin() + kFrameBytes, 0);
    return {frame.begin(), end};
}

}  // namespace

ReplayBackend::ReplayBackend(const Recording& recording, Pacing pacing) : pacing_(pacing) {
    std::vector<uint8_t> halves;
    Reads* answer = nullptr;  // the reads that answer the last command
    for (const RecordedTransfer& t : recording.transfers) {
        switch (t.pipe) {
            case Pipe::S1:
                halves.insert(halves.end(), t.bytes.begin(), t.bytes.end());
                if (halves.size() >= kFrameBytes) {
                    Answers& answers = answers_[CommandText(halves)];
                    answers.answers.emplace_back();
                    answer = &answers.answers.back();
                    halves.erase(halves.begin(), halves.begin() + kFrameBytes);
                }
                break;
            case Pipe::R1:
                if (answer != nullptr) {
                    answer->push_back(t.bytes);
                }
                break;
            case Pipe::R2:
                stream_.push_back(t);
                break;
        }
    }
    if (!stream_.empty()) {
        const auto span = std::chrono::microseconds(stream_.back().micros - stream_.front().micros);
        // The pause before the repeat is the mean distance of the packets.
        streamLength_ = stream_.size() > 1 ? span + span / static_cast<int64_t>(stream_.size() - 1)
                                           : kPacketPeriod;
    }
}

OpenOutcome ReplayBackend::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    halfFrames_.clear();
    replyReads_.clear();
    streamStart_ = Clock::now();
    nextPacket_ = 0;
    return OpenOutcome::Opened;
}

void ReplayBackend::Close() {
    {
        std::lock_guard lock(mutex_);
        open_ = false;
    }
    wake_.notify_all();
}

bool ReplayBackend::ReaderIdle() const {
    std::lock_guard lock(mutex_);
    return readerWaiting_ && replyReads_.empty();
}

TransferResult ReplayBackend::Transfer(Pipe pipe, std::span<uint8_t> buffer,
                                       std::chrono::milliseconds timeout) {
    switch (pipe) {
        case Pipe::S1: {
            std::lock_guard lock(mutex_);
            if (!open_) {
                return {TransferOutcome::StartFailed, 0};
            }
            halfFrames_.insert(halfFrames_.end(), buffer.begin(), buffer.end());
            if (halfFrames_.size() >= kFrameBytes) {
                const std::string command = CommandText(halfFrames_);
                halfFrames_.erase(halfFrames_.begin(), halfFrames_.begin() + kFrameBytes);
                Answer(command);
            }
            wake_.notify_all();
            return {TransferOutcome::Completed, static_cast<int>(buffer.size())};
        }
        case Pipe::R1:
            return ReadReply(buffer, timeout);
        case Pipe::R2:
            return ReadPacket(buffer, timeout);
    }
    return {TransferOutcome::StartFailed, 0};
}

void ReplayBackend::Answer(const std::string& command) {
    const auto found = answers_.find(command);
    if (found == answers_.end()) {
        return;  // never seen: no answer
    }
    Answers& answers = found->second;
    const Reads& reads = answers.answers[answers.next];
    answers.next = (answers.next + 1) % answers.answers.size();
    replyReads_.insert(replyReads_.end(), reads.begin(), reads.end());
}

TransferResult ReplayBackend::ReadReply(std::span<uint8_t> buffer,
                                        std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto deadline = Clock::now() + timeout;
    readerWaiting_ = true;
    const bool arrived =
        wake_.wait_until(lock, deadline, [this] { return !open_ || !replyReads_.empty(); });
    readerWaiting_ = false;
    if (!arrived || !open_) {
        return {TransferOutcome::NotCompleted, 0};
    }
    const std::vector<uint8_t> read = std::move(replyReads_.front());
    replyReads_.pop_front();
    const size_t bytes = std::min(read.size(), buffer.size());
    std::copy_n(read.begin(), bytes, buffer.begin());
    return {TransferOutcome::Completed, static_cast<int>(bytes)};
}

TransferResult ReplayBackend::ReadPacket(std::span<uint8_t> buffer,
                                         std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (stream_.empty()) {
        // A recording without a stream: the reads time out, as on a silent device.
        wake_.wait_for(lock, timeout, [this] { return !open_; });
        return {TransferOutcome::NotCompleted, 0};
    }
    const RecordedTransfer& packet = stream_[nextPacket_ % stream_.size()];
    if (pacing_ == Pacing::RealTime) {
        const uint64_t pass = nextPacket_ / stream_.size();
        const auto due = streamStart_ + streamLength_ * static_cast<int64_t>(pass) +
                         std::chrono::microseconds(packet.micros - stream_.front().micros);
        const auto deadline = Clock::now() + timeout;
        if (wake_.wait_until(lock, std::min(due, deadline), [this] { return !open_; }) ||
            due > deadline) {
            return {TransferOutcome::NotCompleted, 0};
        }
    }
    ++nextPacket_;
    const size_t bytes = std::min(packet.bytes.size(), buffer.size());
    std::copy_n(packet.bytes.begin(), bytes, buffer.begin());
    return {TransferOutcome::Completed, static_cast<int>(bytes)};
}

}  // namespace vx
