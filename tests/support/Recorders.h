#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "base/MessageSink.h"
#include "device/CommandProtocol.h"
#include "device/LinkEvents.h"
#include "device/ReplyQueue.h"

namespace vx::test {

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const ShownMessage&) const = default;
};

// Records every message box instead of showing it; worker threads may call it.
class RecordingMessages final : public MessageSink {
  public:
    void Show(const std::string& text, const std::string& caption, MessageIcon icon,
              std::function<void()> onClosed) override {
        std::lock_guard lock(mutex_);
        shown_.push_back({text, caption, icon});
        pendingClose_.push_back(std::move(onClosed));
    }
    std::vector<ShownMessage> Shown() const {
        std::lock_guard lock(mutex_);
        return shown_;
    }
    // Closes every open box, running the callbacks given with them.
    void CloseAll() {
        std::vector<std::function<void()>> callbacks;
        {
            std::lock_guard lock(mutex_);
            callbacks.swap(pendingClose_);
        }
        for (auto& onClosed : callbacks) {
            if (onClosed) {
                onClosed();
            }
        }
    }

  private:
    mutable std::mutex mutex_;
    std::vector<ShownMessage> shown_;
    std::vector<std::function<void()>> pendingClose_;
};

// Records what the device link hands to the application.
class RecordingLinkEvents final : public LinkEvents {
  public:
    void FirmwareTextReceived(const std::string& text) override {
        std::lock_guard lock(mutex_);
        firmware_.push_back(text);
    }
    void DeviceErrorTextReceived(const std::string& text) override {
        std::lock_guard lock(mutex_);
        deviceErrors_.push_back(text);
    }
    void DataErrorOccurred(const DataErrorNotice& notice) override {
        std::lock_guard lock(mutex_);
        dataErrors_.push_back(notice);
    }
    // Queued as the window's event loop would queue them.
    void ReplyDecoded(const DecodedReply& reply) override { replies_.Push(reply); }
    // The test thread, playing the user-interface thread: applies what has come and
    // says how many replies that was.
    int ApplyReplies(CommandProtocol& protocol) {
        int applied = 0;
        replies_.Drain([&](const DecodedReply& reply) {
            protocol.ApplyReply(reply);
            ++applied;
        });
        return applied;
    }
    std::vector<std::string> Firmware() const {
        std::lock_guard lock(mutex_);
        return firmware_;
    }
    std::vector<std::string> DeviceErrors() const {
        std::lock_guard lock(mutex_);
        return deviceErrors_;
    }
    std::vector<DataErrorNotice> DataErrors() const {
        std::lock_guard lock(mutex_);
        return dataErrors_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> firmware_;
    std::vector<std::string> deviceErrors_;
    std::vector<DataErrorNotice> dataErrors_;
    ReplyQueue replies_;
};

}  // namespace vx::test
