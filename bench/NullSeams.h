#pragma once

// Seams that swallow everything, for measurements that only need the code to run.

#include "app/FileDialogs.h"
#include "base/ManualTimer.h"
#include "base/MessageSink.h"
#include "desktop/KeyboardOutput.h"
#include "desktop/ProgramLauncher.h"
#include "device/CommandProtocol.h"
#include "device/LinkEvents.h"
#include "device/SimulatedInstrument.h"
#include "device/UnitUSB.h"

namespace vx::bench {

class NullMessages final : public MessageSink {
  public:
    void Show(const std::string&, const std::string&, MessageIcon, std::function<void()>) override {
    }
};

class NullEvents final : public LinkEvents {
  public:
    void FirmwareTextReceived(const std::string&) override {}
    void DeviceErrorTextReceived(const std::string&) override {}
    void DataErrorOccurred(const DataErrorNotice&) override {}
    void ReplyDecoded(const DecodedReply&) override {}
};

class AlwaysLinked final : public LinkGuard {
  public:
    bool LinkActive() const override { return true; }
    bool ConnectionLost() const override { return false; }
};

class NullKeyboard final : public KeyboardOutput {
  public:
    void TypeText(const std::string&) override {}
};

class NullLauncher final : public ProgramLauncher {
  public:
    void StartExternalProgram(const std::string&, const std::string&) override {}
};

class CancelledDialogs final : public FileDialogs {
  public:
    std::optional<std::string> AskSaveName(const std::string&) override { return {}; }
    std::optional<std::string> AskOpenName(const std::string&) override { return {}; }
};

// The transport and the protocol over the simulated instrument, never started: the
// least a TMeasData needs.
struct BenchLink {
    SimulatedInstrument instrument;
    NullMessages messages;
    NullEvents events;
    AlwaysLinked guard;
    UnitUSB usb{instrument, messages, events, guard};
    CommandProtocol protocol{usb, messages, events};
    ManualTimerFactory timers;
};

}  // namespace vx::bench
