// zemlometer-check: opens the instrument, runs its start-up sequence, prints its
// identity and calibration and one second of stream statistics. A technician runs it
// to check the connection; with --simulated it talks to the built-in instrument,
// with --usb-id VVVV:PPPP it also takes the device with that vendor and product id.

#include <fmt/core.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <set>
#include <thread>

#include "base/ManualTimer.h"
#include "device/LibusbBackend.h"
#include "device/ReplyQueue.h"
#include "device/SimulatedInstrument.h"
#include "measurement/DeviceLink.h"

namespace {

using namespace std::chrono_literals;

class ConsoleMessages final : public vx::MessageSink {
  public:
    void Show(const std::string& text, const std::string& caption, vx::MessageIcon,
              std::function<void()>) override {
        fmt::print(stderr, "[{}] {}\n", caption, text);
    }
};

class ConsoleEvents final : public vx::LinkEvents {
  public:
    void FirmwareTextReceived(const std::string& text) override {
        fmt::print("Firmware:        {}\n", text);
    }
    void DeviceErrorTextReceived(const std::string& text) override {
        fmt::print("Device status:   {}\n", text.empty() ? "(no error)" : text);
    }
    void DataErrorOccurred(const vx::DataErrorNotice& notice) override {
        fmt::print(stderr, "[{}] {}\n", notice.caption, notice.text);
    }
    void ReplyDecoded(const vx::DecodedReply& reply) override { replies_.Push(reply); }
    // The main thread, between its start-up ticks.
    void ApplyReplies(vx::CommandProtocol& protocol) {
        replies_.Drain([&](const vx::DecodedReply& reply) { protocol.ApplyReply(reply); });
    }

  private:
    vx::ReplyQueue replies_;
};

void PrintParameters(const vx::DeviceParameters& p) {
    fmt::print("Device serial:   {}\n", p.serialDevice);
    fmt::print("Sensor serial:   {}\n", p.serialSensor);
    fmt::print("Nominal value:   {} {}\n", p.nominalValue, p.unitText);
    fmt::print("Calibration:     scale {}  offset {}\n", p.calibScale, p.calibOffset);
    fmt::print("Parameters:      #Z62 {}  #Z63 {}\n", p.deviceParam62, p.deviceParam63);
    fmt::print("Linearisation:   {} points\n", p.linCount);
    for (int k = 0; k < 5; ++k) {
        fmt::print("  point {}:  in {:>10}  out {:>10}\n", k + 1, p.linTable[6 + k],
                   p.linTable[1 + k]);
    }
}

int Usage() {
    fmt::print(stderr,
               "usage: zemlometer-check [--simulated | --usb-id VVVV:PPPP]\n"
               "  Checks the connection to the instrument on USB and prints its identity.\n"
               "  --simulated          use the built-in simulated instrument\n"
               "  --usb-id VVVV:PPPP   also take the device with this vendor:product id\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool simulated = false;
    std::optional<vx::UsbId> usbId;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--simulated") == 0) {
            simulated = true;
        } else if (std::strcmp(argv[i], "--usb-id") == 0 && i + 1 < argc &&
                   (usbId = vx::ParseUsbId(argv[i + 1]))) {
            ++i;
        } else {
            return Usage();
        }
    }

    vx::SimulatedInstrument instrument;
    vx::LibusbBackend usb(usbId);
    vx::UsbBackend& backend = simulated ? static_cast<vx::UsbBackend&>(instrument) : usb;
    ConsoleMessages messages;
    ConsoleEvents events;
    vx::ManualTimerFactory timers;
    vx::DeviceLink link(backend, messages, events, timers);

    if (!link.Start(1)) {
        fmt::print(stderr, "Device not found\n");
        if (!simulated) {
            fmt::print(stderr, "USB devices looked at: {}\n", usb.LastScan().size());
            for (const std::string& line : usb.LastScan()) {
                fmt::print(stderr, "  {}\n", line);
            }
        }
        return 1;
    }
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    vx::TMeasData& meas = *link.MeasData();
    while (!meas.IsInitDone()) {
        if (std::chrono::steady_clock::now() > deadline) {
            fmt::print(stderr, "The instrument did not answer every start-up query in 10 s.\n");
            return 1;
        }
        std::this_thread::sleep_for(10ms);
        events.ApplyReplies(link.Protocol());
        timers.Tick();
    }
    PrintParameters(link.Protocol().Parameters());

    // Count one second of the stream as it arrives.
    vx::MeasSample sample;
    while (meas.TakeSample(sample)) {
    }
    int64_t samples = 0;
    int minRaw = INT16_MAX, maxRaw = INT16_MIN;
    std::set<char> statuses;
    const auto end = std::chrono::steady_clock::now() + 1s;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
        while (meas.TakeSample(sample)) {
            ++samples;
            minRaw = std::min<int>(minRaw, sample.raw);
            maxRaw = std::max<int>(maxRaw, sample.raw);
            statuses.insert(static_cast<char>(sample.status));
        }
    }
    fmt::print("Stream, 1 s:     {} samples in about {} packets, {} short packets\n", samples,
               (samples + 9) / 10, meas.ShortPackets());
    fmt::print("Raw values:      min {}  max {}\n", samples ? minRaw : 0, samples ? maxRaw : 0);
    fmt::print("Status bytes:    {}\n", fmt::join(statuses, " "));
    link.Shutdown();
    return samples > 0 ? 0 : 1;
}
