#include "measurement/StreamWatch.h"

namespace vx {

StreamWatch::Notice StreamWatch::Poll(int32_t newSamples, int64_t shortPackets) {
    if (newSamples == 0) {
        // Counted on only to the mark: a stream silent for hours is said once.
        if (silentPolls_ < kSilentPolls && ++silentPolls_ == kSilentPolls) {
            return Notice::NoSamples;
        }
        return Notice::None;
    }
    const bool wasSilent = silentPolls_ >= kSilentPolls;
    silentPolls_ = 0;
    if (shortPackets > 0 && !lossShown_) {
        lossShown_ = true;
        return Notice::SamplesLost;
    }
    return wasSilent ? Notice::SamplesAgain : Notice::None;
}

}  // namespace vx
