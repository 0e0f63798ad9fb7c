#include "desktop/PacedTyping.h"

#include <gtest/gtest.h>

#include <string>

#include "base/ManualTimer.h"

namespace vx {
namespace {

// The keys as sent, '|' where a pause began, 'R' for Return.
class PacedTypingTest : public ::testing::Test {
  protected:
    PacedTypingTest() { settings.KeyBufDelayTimeMs = 10; }

    // Ticks the pause timer until nothing is left to type.
    void TypeOut() {
        for (int tick = 0; tick < 100 && typing.Busy(); ++tick) {
            timers.Tick();
        }
    }

    Settings settings;
    ManualTimerFactory timers;
    std::string sent;
    PacedTyping typing{settings, timers, [this](char32_t c) {
                           if (c == U'µ') {
                               return false;  // no key in the layout
                           }
                           sent += c == '\r' ? 'R' : static_cast<char>(c);
                           return true;
                       }};
};

// The caller gets control back after one key: the pause runs on the timer.
TEST_F(PacedTypingTest, EachPauseIsATimerTickNotAWait) {
    typing.Type(" 12.35");
    EXPECT_EQ(sent, " ");
    EXPECT_EQ(timers.ActiveTimers(), 1);
    timers.Tick();
    EXPECT_EQ(sent, " 1");
    // A second text waits for the first; the pause is read anew at every key.
    typing.Type("-3");
    settings.KeyBufDelayTimeMs = 30;
    TypeOut();
    EXPECT_EQ(sent, " 12.35R-3R");
    EXPECT_FALSE(typing.Busy());
    EXPECT_EQ(timers.ActiveTimers(), 0);
}

TEST_F(PacedTypingTest, NoPauseAfterReturnOrAKeyThatIsNotThereOrWithPauseZero) {
    typing.Type("");
    EXPECT_EQ(sent, "R");
    EXPECT_EQ(timers.ActiveTimers(), 0);
    typing.Type(
        "1\xC2\xB5"
        "2");
    EXPECT_EQ(sent, "R1");
    timers.Tick();
    EXPECT_EQ(sent, "R12");  // µ has no key: no pause for it
    TypeOut();
    settings.KeyBufDelayTimeMs = 0;
    typing.Type("34");
    EXPECT_EQ(sent, "R12R34R");
    EXPECT_FALSE(typing.Busy());
}

}  // namespace
}  // namespace vx
