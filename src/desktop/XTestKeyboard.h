#pragma once

#include <memory>
#include <string>

#include "base/MessageSink.h"
#include "base/Timer.h"
#include "desktop/KeyboardOutput.h"
#include "desktop/PacedTyping.h"
#include "settings/Settings.h"

namespace vx {

// Types into the focused application through the X server's test extension. Each
// character is pressed and released on the key, and with the shift level, that give it
// in the current layout, then KeyBufDelayTimeMs passes on a timer (PacedTyping), so
// TypeText returns at once and the poll goes on; Return ends the text. Keys are always released: a
// key left down loses repeated characters, repeats by itself and, for Shift, spoils later typing in
// every application. A character the layout cannot produce is skipped. Without an X display nothing
// is typed, and a box says so once.
class XTestKeyboard final : public KeyboardOutput {
  public:
    XTestKeyboard(const Settings& settings, MessageSink& messages, TimerFactory& timers);
    ~XTestKeyboard() override;
    XTestKeyboard(const XTestKeyboard&) = delete;
    XTestKeyboard& operator=(const XTestKeyboard&) = delete;

    void TypeText(const std::string& text) override;

  private:
    struct Connection;
    // Presses and releases the key of one character; false when the layout has none.
    bool SendKey(char32_t character);
    bool Connected();

    MessageSink& messages_;
    std::unique_ptr<Connection> connection_;
    bool connectTried_ = false;
    PacedTyping typing_;
};

}  // namespace vx
