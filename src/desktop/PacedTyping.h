#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "base/Timer.h"
#include "settings/Settings.h"

namespace vx {

// Types texts one key at a time without holding up the caller: the pause of
// KeyBufDelayTimeMs (read at every pause) after each character runs on a timer, so
// the poll goes on between the keys. Each text ends with Return, after which no pause
// follows; a text that comes while another is being typed follows it. For every way
// of typing (XTest, the desktop portal): they differ only in how one key is sent.
class PacedTyping {
  public:
    // sendKey presses and releases the key of one character ('\r' is Return); false
    // when it has none, and then no pause follows.
    using SendKey = std::function<bool(char32_t)>;

    PacedTyping(const Settings& settings, TimerFactory& timers, SendKey sendKey);

    // Queues the characters of the UTF-8 text and Return; sends at once what needs no
    // pause before it.
    void Type(const std::string& text);
    // Characters are waiting for their turn.
    bool Busy() const { return !keys_.empty(); }
    // While held, characters wait in the queue (a way that is not ready to send);
    // Resume sends what no pause holds back.
    void Hold();
    void Resume();
    // Drops the characters that wait.
    void Clear() { keys_.clear(); }

  private:
    struct Key {
        char32_t character;
        bool pauseAfter;
    };
    void SendUntilPause();

    const Settings& settings_;
    SendKey sendKey_;
    std::unique_ptr<Timer> pause_;
    std::deque<Key> keys_;
    bool held_ = false;
};

}  // namespace vx
