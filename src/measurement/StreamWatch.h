#pragma once

#include <cstdint>

namespace vx {

// Watches the measuring stream from the 100 ms poll: samples that short packets lost,
// and a stream that has delivered no sample for a second. Both are shown in the
// status line; the loss once per link, the silence until samples come again.
class StreamWatch {
  public:
    // Polls without a new sample after which the stream counts as silent.
    static constexpr int kSilentPolls = 10;

    enum class Notice { None, SamplesLost, NoSamples, SamplesAgain };

    // One poll: the samples it found in the ring and the short packets counted so far.
    Notice Poll(int32_t newSamples, int64_t shortPackets);
    // A new link starts.
    void Reset() { *this = StreamWatch(); }

  private:
    bool lossShown_ = false;
    int silentPolls_ = 0;
};

}  // namespace vx
