#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "desktop/KeyboardOutput.h"
#include "settings/Settings.h"

namespace vx {

enum class KeyboardWay { X11, Portal };

// The way values are typed. The hand-edited setting "x11" or "portal" decides; anything
// else (normally "auto") lets the session decide: XDG_SESSION_TYPE when it names
// wayland or x11, else the presence of WAYLAND_DISPLAY. In a Wayland session XTest
// reaches only X11 programs, so there the desktop's remote-desktop portal types.
KeyboardWay ChooseKeyboardWay(std::string_view setting, std::string_view sessionType,
                              std::string_view waylandDisplay);

// The keyboard output of the program. It builds the way ChooseKeyboardWay picks at its
// first use, after start-up has read the settings, and keeps it for the run.
class KeyboardRouter final : public KeyboardOutput {
  public:
    using WayFactory = std::function<std::unique_ptr<KeyboardOutput>()>;
    struct Ways {
        WayFactory x11;
        WayFactory portal;
    };
    // environment gives the value of a variable, "" when unset.
    KeyboardRouter(const Settings& settings, Ways ways,
                   std::function<std::string(const char*)> environment);

    void TypeText(const std::string& text) override;
    void Prepare() override;

  private:
    KeyboardOutput& Way();

    const Settings& settings_;
    Ways ways_;
    std::function<std::string(const char*)> environment_;
    std::unique_ptr<KeyboardOutput> way_;
};

// The process environment, for KeyboardRouter.
std::string EnvironmentValue(const char* name);

}  // namespace vx
