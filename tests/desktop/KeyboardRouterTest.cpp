// The choice of the typing way, the rule about the program's own windows, and the key
// symbols that the typing ways send.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "desktop/KeySyms.h"
#include "desktop/KeyboardRouter.h"

namespace vx {
namespace {

TEST(KeyboardChoiceTest, TheSettingDecidesElseTheSessionType) {
    struct Case {
        const char* setting;
        const char* sessionType;
        const char* waylandDisplay;
        KeyboardWay expected;
    };
    const Case cases[] = {
        {"auto", "wayland", "wayland-0", KeyboardWay::Portal},
        {"auto", "x11", "", KeyboardWay::X11},
        // The session type outweighs a stray WAYLAND_DISPLAY, e.g. of a nested compositor.
        {"auto", "x11", "wayland-0", KeyboardWay::X11},
        {"auto", "", "wayland-0", KeyboardWay::Portal},
        {"auto", "tty", "", KeyboardWay::X11},
        {"auto", "", "", KeyboardWay::X11},
        {"x11", "wayland", "wayland-0", KeyboardWay::X11},
        {"portal", "x11", "", KeyboardWay::Portal},
        // Anything else is the automatic choice.
        {"Wayland", "wayland", "", KeyboardWay::Portal},
        {"", "x11", "", KeyboardWay::X11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseKeyboardWay(c.setting, c.sessionType, c.waylandDisplay), c.expected)
            << c.setting << " / " << c.sessionType << " / " << c.waylandDisplay;
    }
}

class RecordingWay final : public KeyboardOutput {
  public:
    explicit RecordingWay(std::vector<std::string>& log, std::string name)
        : log_(log), name_(std::move(name)) {}
    void TypeText(const std::string& text) override { log_.push_back(name_ + ":" + text); }
    void Prepare() override { log_.push_back(name_ + ":prepare"); }

  private:
    std::vector<std::string>& log_;
    std::string name_;
};

class KeyboardRouterTest : public ::testing::Test {
  protected:
    KeyboardRouter MakeRouter(std::map<std::string, std::string> variables) {
        return KeyboardRouter(settings,
                              {[this] {
                                   ++built;
                                   return std::make_unique<RecordingWay>(log, "x11");
                               },
                               [this] {
                                   ++built;
                                   return std::make_unique<RecordingWay>(log, "portal");
                               }},
                              [variables](const char* name) {
                                  const auto found = variables.find(name);
                                  return found != variables.end() ? found->second : std::string();
                              });
    }

    Settings settings;
    std::vector<std::string> log;
    int built = 0;
};

TEST_F(KeyboardRouterTest, BuildsTheChosenWayOnceAtFirstUseFromTheSettingThen) {
    KeyboardRouter router = MakeRouter({{"XDG_SESSION_TYPE", "wayland"}});
    EXPECT_EQ(built, 0);
    settings.KeyboardOutput = "x11";  // start-up has read the hand-edited setting
    router.Prepare();
    router.TypeText(" 12.35");
    settings.KeyboardOutput = "portal";
    router.TypeText("-3.55");
    EXPECT_EQ(built, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"x11:prepare", "x11: 12.35", "x11:-3.55"}));
}

TEST(KeySymsTest, CharactersBecomeLatin1OrUnicodeKeySymbols) {
    const std::pair<char32_t, uint32_t> cases[] = {
        {U' ', 0x20},
        {U'1', 0x31},
        {U',', 0x2C},
        {U'~', 0x7E},
        {U'\u00B5', 0xB5},
        {U'\u00FF', 0xFF},
        {U'\r', 0xFF0D},
        {U'\n', 0xFF0D},
        {U'\t', 0xFF09},
        {U'\u20AC', 0x10020AC},
        {U'\u0100', 0x1000100},
        {U'\x7F', 0x100007F},
        {U'\U0001F600', 0x101F600},
    };
    for (const auto& [character, symbol] : cases) {
        EXPECT_EQ(KeySymOf(character), symbol) << static_cast<uint32_t>(character);
    }
}

}  // namespace
}  // namespace vx
