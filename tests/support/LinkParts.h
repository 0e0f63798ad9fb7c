#pragma once

#include "base/ManualTimer.h"
#include "device/CommandProtocol.h"
#include "device/UnitUSB.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx::test {

// The transport and the protocol over a scripted device, recording what they report:
// the least a TMeasData needs. Fixtures inherit it to use the parts by name.
struct LinkParts {
    ScriptedBackend backend;
    RecordingMessages messages;
    RecordingLinkEvents events;
    FakeGuard guard;
    UnitUSB usb{backend, messages, events, guard};
    CommandProtocol protocol{usb, messages, events};
    ManualTimerFactory timers;
};

}  // namespace vx::test
