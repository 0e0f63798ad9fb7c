#pragma once

#include <string>

#include "device/DecodedReply.h"

namespace vx {

// A data error on the measuring stream (R2) or the command pipe (S1): the message to
// show, then the save of the data sets, then, after R2, the end of the program.
struct DataErrorNotice {
    std::string text;
    std::string caption;
    bool exitAfterSave = false;
};

// What the device link hands to the application. Called on worker threads too: an
// implementation queues the work for the user-interface thread and returns at once.
class LinkEvents {
  public:
    virtual ~LinkEvents() = default;
    virtual void FirmwareTextReceived(const std::string& text) = 0;     // label "Firmware:"
    virtual void DeviceErrorTextReceived(const std::string& text) = 0;  // status label
    virtual void DataErrorOccurred(const DataErrorNotice& notice) = 0;
    // Every reply of the start-up table: the user-interface thread passes it, in the
    // order received, to CommandProtocol::ApplyReply.
    virtual void ReplyDecoded(const DecodedReply& reply) = 0;
};

}  // namespace vx
