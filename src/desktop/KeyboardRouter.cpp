#include "desktop/KeyboardRouter.h"

#include <cstdlib>

namespace vx {

KeyboardWay ChooseKeyboardWay(std::string_view setting, std::string_view sessionType,
                              std::string_view waylandDisplay) {
    if (setting == "x11") {
        return KeyboardWay::X11;
    }
    if (setting == "portal") {
        return KeyboardWay::Portal;
    }
    if (sessionType == "wayland") {
        return KeyboardWay::Portal;
    }
    if (sessionType == "x11") {
        return KeyboardWay::X11;
    }
    return waylandDisplay.empty() ? KeyboardWay::X11 : KeyboardWay::Portal;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

KeyboardRouter::KeyboardRouter(const Settings& settings, Ways ways,
                               std::function<std::string(const char*)> environment)
    : settings_(settings), ways_(std::move(ways)), environment_(std::move(environment)) {}

KeyboardOutput& KeyboardRouter::Way() {
    if (way_ == nullptr) {
        const KeyboardWay way =
            ChooseKeyboardWay(settings_.KeyboardOutput, environment_("XDG_SESSION_TYPE"),
                              environment_("WAYLAND_DISPLAY"));
        way_ = way == KeyboardWay::Portal ? ways_.portal() : ways_.x11();
    }
    return *way_;
}

void KeyboardRouter::TypeText(const std::string& text) {
    Way().TypeText(text);
}

void KeyboardRouter::Prepare() {
    Way().Prepare();
}

}  // namespace vx
