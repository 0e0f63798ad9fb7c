#pragma once

#include <algorithm>
#include <deque>
#include <map>
#include <vector>

#include "device/UnitUSB.h"
#include "device/UsbBackend.h"

namespace vx::test {

// A device whose every transfer is scripted by the test and logged. An empty script
// gives: R1 nothing in time, R2 a zero packet, S1 written.
class ScriptedBackend final : public UsbBackend {
  public:
    struct Step {
        TransferOutcome outcome = TransferOutcome::Completed;
        std::vector<uint8_t> bytes;  // what a read delivers
    };
    struct Logged {
        Pipe pipe;
        std::vector<uint8_t> bytes;  // what a write sent
        std::chrono::milliseconds timeout;
    };

    void Queue(Pipe pipe, Step step) { script_[pipe].push_back(std::move(step)); }
    void QueueRead(Pipe pipe, std::vector<uint8_t> bytes) {
        Queue(pipe, {TransferOutcome::Completed, std::move(bytes)});
    }
    const std::vector<Logged>& Log() const { return log_; }
    size_t Transfers(Pipe pipe) const {
        return std::count_if(log_.begin(), log_.end(), [&](auto& l) { return l.pipe == pipe; });
    }

    OpenOutcome openOutcome = OpenOutcome::Opened;
    int closes = 0;

    OpenOutcome Open() override { return openOutcome; }
    void Close() override { ++closes; }
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override {
        log_.push_back(
            {pipe,
             pipe == Pipe::S1 ? std::vector(buffer.begin(), buffer.end()) : std::vector<uint8_t>{},
             timeout});
        auto& steps = script_[pipe];
        if (steps.empty()) {
            if (pipe == Pipe::R1) {
                return {TransferOutcome::NotCompleted, 0};
            }
            return {TransferOutcome::Completed, static_cast<int>(buffer.size())};
        }
        Step step = std::move(steps.front());
        steps.pop_front();
        const size_t n = std::min(step.bytes.size(), buffer.size());
        std::copy_n(step.bytes.begin(), n, buffer.begin());
        return {step.outcome, step.outcome == TransferOutcome::Completed
                                  ? static_cast<int>(pipe == Pipe::S1 ? buffer.size() : n)
                                  : 0};
    }

  private:
    std::map<Pipe, std::deque<Step>> script_;
    std::vector<Logged> log_;
};

// Link states the test sets by hand.
class FakeGuard final : public LinkGuard {
  public:
    bool LinkActive() const override { return active; }
    bool ConnectionLost() const override { return lost; }
    bool active = true;
    bool lost = false;
};

// A reply frame as the instrument sends it: code, payload, 0x00, 0xA7, zero padding.
inline std::vector<uint8_t> ReplyFrame(const std::string& codeAndPayload) {
    std::vector<uint8_t> frame(32, 0);
    std::copy(codeAndPayload.begin(), codeAndPayload.end(), frame.begin());
    frame[codeAndPayload.size() + 1] = 0xA7;
    return frame;
}

}  // namespace vx::test
