// Typing into a line edit of this process through the X server.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "app/QtTimerFactory.h"
#include "base/ManualTimer.h"
#include "desktop/XTestKeyboard.h"
#include "support/Recorders.h"

namespace vx {
namespace {

using Clock = std::chrono::steady_clock;

class XTestKeyboardTest : public ::testing::Test {
  protected:
    XTestKeyboardTest() {
        settings.KeyBufDelayTimeMs = 10;
        QObject::connect(&edit, &QLineEdit::returnPressed, [this] {
            entered.push_back(edit.text().toStdString());
            edit.clear();
        });
        edit.show();
        edit.activateWindow();
        edit.setFocus();
    }

    struct Took {
        double call;    // until TypeText returned
        double typing;  // until the line edit had the Return
    };
    // Types the text and lets the line edit take the keys; the milliseconds it took.
    Took Type(const std::string& text) {
        const size_t before = entered.size();
        const auto start = Clock::now();
        keyboard.TypeText(text);
        const std::chrono::duration<double, std::milli> call = Clock::now() - start;
        EXPECT_TRUE(QTest::qWaitFor([&] { return entered.size() > before; }, 10000)) << text;
        const std::chrono::duration<double, std::milli> typing = Clock::now() - start;
        return {call.count(), typing.count()};
    }

    Settings settings;
    test::RecordingMessages messages;
    QtTimerFactory timers;
    XTestKeyboard keyboard{settings, messages, timers};
    QLineEdit edit;
    std::vector<std::string> entered;
};

TEST_F(XTestKeyboardTest, CharactersArriveExactlyEachTextEndedByReturn) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    // A shifted character first: a Shift left down would turn "." into ">" after it.
    for (const char* text : {"1:5", "-3.55", " 12.35", "",
                             "1\xC2\xB5"
                             "2"}) {
        Type(text);
    }
    EXPECT_EQ(entered, (std::vector<std::string>{"1:5", "-3.55", " 12.35", "", "12"}));
    EXPECT_TRUE(messages.Shown().empty());
}

// The pauses run on a timer: the caller (the poll) gets control back at once.
TEST_F(XTestKeyboardTest, EveryCharacterIsFollowedByThePauseOfTheSettingWithoutBlocking) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    const Took tenMs = Type(" 12.35");
    std::cout << "typing \" 12.35\" with 10 ms pauses took " << tenMs.typing << " ms, the call "
              << tenMs.call << " ms\n";
    EXPECT_GE(tenMs.typing, 60.0);
    settings.KeyBufDelayTimeMs = 30;
    const Took thirtyMs = Type(" 12.35");
    EXPECT_GE(thirtyMs.typing, 180.0);
    EXPECT_LT(thirtyMs.call, 90.0);
    EXPECT_EQ(entered, (std::vector<std::string>{" 12.35", " 12.35"}));
}

TEST(XTestKeyboardWithoutDisplayTest, TypesNothingAndSaysSoOnce) {
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":vx212-none", 1);
    Settings settings;
    test::RecordingMessages messages;
    ManualTimerFactory timers;
    XTestKeyboard keyboard(settings, messages, timers);
    keyboard.TypeText(" 12.35");
    keyboard.TypeText("-3.55");
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(messages.Shown(),
              (std::vector<test::ShownMessage>{
                  {"No X display: values cannot be typed into other programs", "WARNING"}}));
}

}  // namespace
}  // namespace vx
