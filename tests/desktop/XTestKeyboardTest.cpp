// Typing into a line edit of this process through the X server.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include <chrono>
#include <cstdlib>
#include <iostream>

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

    // Types the text and lets the line edit take the keys; the milliseconds the typing took.
    double Type(const std::string& text) {
        const size_t before = entered.size();
        const auto start = Clock::now();
        keyboard.TypeText(text);
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        EXPECT_TRUE(QTest::qWaitFor([&] { return entered.size() > before; }, 10000)) << text;
        return took.count();
    }

    Settings settings;
    test::RecordingMessages messages;
    XTestKeyboard keyboard{settings, messages};
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

TEST_F(XTestKeyboardTest, EveryCharacterIsFollowedByThePauseOfTheSettingAsItIsNow) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    const double tenMs = Type(" 12.35");
    std::cout << "typing \" 12.35\" with 10 ms pauses took " << tenMs << " ms\n";
    EXPECT_GE(tenMs, 60.0);
    settings.KeyBufDelayTimeMs = 30;
    EXPECT_GE(Type(" 12.35"), 180.0);
    EXPECT_EQ(entered, (std::vector<std::string>{" 12.35", " 12.35"}));
}

TEST(XTestKeyboardWithoutDisplayTest, TypesNothingAndSaysSoOnce) {
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", ":vx212-none", 1);
    Settings settings;
    test::RecordingMessages messages;
    XTestKeyboard keyboard(settings, messages);
    keyboard.TypeText(" 12.35");
    keyboard.TypeText("-3.55");
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(messages.Shown(),
              (std::vector<test::ShownMessage>{
                  {"No X display: values cannot be typed into other programs", "WARNING"}}));
}

}  // namespace
}  // namespace vx
