#include <gtest/gtest.h>

#include "measurement/StreamWatch.h"

namespace vx {
namespace {

using Notice = StreamWatch::Notice;

struct PollCase {
    int32_t newSamples;
    int64_t shortPackets;
    Notice expected;
};

void ExpectNotices(const std::vector<PollCase>& polls) {
    StreamWatch watch;
    for (size_t k = 0; k < polls.size(); ++k) {
        SCOPED_TRACE("poll " + std::to_string(k + 1));
        EXPECT_EQ(watch.Poll(polls[k].newSamples, polls[k].shortPackets), polls[k].expected);
    }
}

TEST(StreamWatchTest, LossIsSaidOncePerLink) {
    ExpectNotices({{100, 0, Notice::None},
                   {50, 10, Notice::SamplesLost},
                   {50, 20, Notice::None},
                   {100, 20, Notice::None}});
}

TEST(StreamWatchTest, SilenceIsSaidAfterASecondOnceAndItsEndToo) {
    std::vector<PollCase> polls = {{100, 0, Notice::None}};
    for (int k = 1; k < StreamWatch::kSilentPolls; ++k) {
        polls.push_back({0, 0, Notice::None});
    }
    polls.push_back({0, 0, Notice::NoSamples});
    polls.push_back({0, 0, Notice::None});  // an hour of silence is not said again
    polls.push_back({100, 0, Notice::SamplesAgain});
    polls.push_back({100, 0, Notice::None});
    polls.push_back({0, 0, Notice::None});  // a short gap is no silence
    polls.push_back({100, 0, Notice::None});
    ExpectNotices(polls);
}

TEST(StreamWatchTest, ResetStartsANewLink) {
    StreamWatch watch;
    EXPECT_EQ(watch.Poll(5, 1), Notice::SamplesLost);
    watch.Reset();
    EXPECT_EQ(watch.Poll(5, 1), Notice::SamplesLost);
}

}  // namespace
}  // namespace vx
