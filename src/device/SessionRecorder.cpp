#include "device/SessionRecorder.h"

#include <algorithm>

namespace vx {

OpenOutcome SessionRecorder::Open() {
    const OpenOutcome outcome = device_.Open();
    opened_ = std::chrono::steady_clock::now();
    return outcome;
}

TransferResult SessionRecorder::Transfer(Pipe pipe, std::span<uint8_t> buffer,
                                         std::chrono::milliseconds timeout) {
    // A write counts from its start: the reply it causes may be read before it returns.
    const auto started = std::chrono::steady_clock::now();
    const TransferResult result = device_.Transfer(pipe, buffer, timeout);
    if (result.outcome == TransferOutcome::Completed) {
        const auto at = pipe == Pipe::S1 ? started : std::chrono::steady_clock::now();
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(at - opened_);
        const size_t bytes = std::min(buffer.size(), static_cast<size_t>(result.bytes));
        logs_[static_cast<size_t>(pipe)].push_back(
            {micros.count(),
             pipe,
             {buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(bytes)}});
    }
    return result;
}

void SessionRecorder::Close() {
    device_.Close();
}

std::vector<RecordedTransfer> SessionRecorder::Transfers() const {
    std::vector<RecordedTransfer> all;
    for (const auto& log : logs_) {
        all.insert(all.end(), log.begin(), log.end());
    }
    std::stable_sort(
        all.begin(), all.end(),
        [](const RecordedTransfer& a, const RecordedTransfer& b) { return a.micros < b.micros; });
    return all;
}

}  // namespace vx
