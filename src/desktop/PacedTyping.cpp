#include "desktop/PacedTyping.h"

#include "base/TextEncoding.h"

namespace vx {

PacedTyping::PacedTyping(const Settings& settings, TimerFactory& timers, SendKey sendKey)
    : settings_(settings), sendKey_(std::move(sendKey)), pause_(timers.Create([this] {
          pause_->Stop();
          SendUntilPause();
      })) {}

void PacedTyping::Type(const std::string& text) {
    for (const char32_t c : Utf8CodePoints(text)) {
        keys_.push_back({c, true});
    }
    keys_.push_back({'\r', false});
    if (!pause_->IsActive()) {
        SendUntilPause();
    }
}

void PacedTyping::Hold() {
    held_ = true;
    pause_->Stop();
}

void PacedTyping::Resume() {
    held_ = false;
    if (!pause_->IsActive()) {
        SendUntilPause();
    }
}

void PacedTyping::SendUntilPause() {
    while (!held_ && !keys_.empty()) {
        const Key key = keys_.front();
        keys_.pop_front();
        if (sendKey_(key.character) && key.pauseAfter && settings_.KeyBufDelayTimeMs > 0) {
            pause_->Start(settings_.KeyBufDelayTimeMs);
            return;
        }
    }
}

}  // namespace vx
