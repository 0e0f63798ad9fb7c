// The only file that includes the X11 headers: their macros clash with Qt's names.
#include "desktop/XTestKeyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <optional>

#include "desktop/KeySyms.h"

namespace vx {

namespace {

struct Key {
    KeyCode code;
    bool shift;
};

}  // namespace

struct XTestKeyboard::Connection {
    Display* display = nullptr;
    KeyCode shiftKey = 0;
    ~Connection() {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }

    // The key and shift level that give the symbol in the current group, with the
    // locked modifiers (Caps Lock, Num Lock) as they are; an unshifted key first.
    std::optional<Key> Find(KeySym wanted) const {
        XkbStateRec state{};
        XkbGetState(display, XkbUseCoreKbd, &state);
        int minCode = 0;
        int maxCode = 0;
        XDisplayKeycodes(display, &minCode, &maxCode);
        for (const bool shift : {false, true}) {
            if (shift && shiftKey == 0) {
                break;
            }
            const unsigned modifiers = state.locked_mods | (shift ? ShiftMask : 0u);
            for (int code = minCode; code <= maxCode; ++code) {
                unsigned consumed = 0;
                KeySym symbol = NoSymbol;
                if (XkbLookupKeySym(display, static_cast<KeyCode>(code),
                                    XkbBuildCoreState(modifiers, state.group), &consumed,
                                    &symbol) &&
                    symbol == wanted) {
                    return Key{static_cast<KeyCode>(code), shift};
                }
            }
        }
        return std::nullopt;
    }
};

XTestKeyboard::XTestKeyboard(const Settings& settings, MessageSink& messages, TimerFactory& timers)
    : messages_(messages),
      typing_(settings, timers, [this](char32_t character) { return SendKey(character); }) {}

XTestKeyboard::~XTestKeyboard() = default;

bool XTestKeyboard::Connected() {
    if (!connectTried_) {
        connectTried_ = true;
        auto connection = std::make_unique<Connection>();
        connection->display = XOpenDisplay(nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        if (connection->display != nullptr &&
            XTestQueryExtension(connection->display, &event, &error, &major, &minor)) {
            connection->shiftKey = XKeysymToKeycode(connection->display, XK_Shift_L);
            connection_ = std::move(connection);
        } else {
            messages_.Show("No X display: values cannot be typed into other programs", "WARNING");
        }
    }
    return connection_ != nullptr;
}

bool XTestKeyboard::SendKey(char32_t character) {
    const std::optional<Key> key = connection_->Find(KeySymOf(character));
    if (!key) {
        return false;
    }
    Display* display = connection_->display;
    if (key->shift) {
        XTestFakeKeyEvent(display, connection_->shiftKey, True, CurrentTime);
    }
    XTestFakeKeyEvent(display, key->code, True, CurrentTime);
    XTestFakeKeyEvent(display, key->code, False, CurrentTime);
    if (key->shift) {
        XTestFakeKeyEvent(display, connection_->shiftKey, False, CurrentTime);
    }
    XSync(display, False);
    return true;
}

void XTestKeyboard::TypeText(const std::string& text) {
    if (Connected()) {
        typing_.Type(text);
    }
}

}  // namespace vx
