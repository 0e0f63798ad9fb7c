// zemlometer-check: opens the instrument, runs its start-up sequence, prints its
// identity and calibration and statistics of its stream. A technician runs it to
// check the connection; with --record it also writes a recording of the session for
// a bug report, which --replay (here and in the demo window) plays again.

#include <fmt/core.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <thread>

#include "base/ManualTimer.h"
#include "device/LibusbBackend.h"
#include "device/Recording.h"
#include "device/ReplayBackend.h"
#include "device/ReplyQueue.h"
#include "device/SessionRecorder.h"
#include "device/SimulatedInstrument.h"
#include "device/UsbBusAccess.h"
#include "measurement/DeviceLink.h"

namespace {

using namespace std::chrono_literals;

// Exit codes, as the usage text lists them.
constexpr int kExitOk = 0;
constexpr int kExitNotFound = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotOpened = 3;
constexpr int kExitNoAnswer = 4;
constexpr int kExitRecordingNotWritten = 5;

constexpr std::string_view kUsage =
    "usage: zemlometer-check [--simulated | --replay FILE | --usb-id VVVV:PPPP]\n"
    "                        [--record FILE [--seconds N]]\n"
    "  Checks the connection to the instrument on USB: runs its start-up sequence,\n"
    "  prints its identity and calibration, and counts its measuring stream.\n"
    "  --simulated          use the built-in simulated instrument\n"
    "  --replay FILE        play a recorded session instead of an instrument\n"
    "  --usb-id VVVV:PPPP   also take the device with this vendor:product id (hex)\n"
    "  --record FILE        write every transfer of the session into FILE, a text file\n"
    "                       to attach to a bug report\n"
    "  --seconds N          seconds of the stream to count and record (default 1,\n"
    "                       with --record 10)\n"
    "  --help               print this text\n"
    "exit codes:\n"
    "  0  the instrument answered every start-up query and sent its stream\n"
    "  1  no instrument found, or the USB devices cannot be looked at\n"
    "  2  wrong command line, or a recording to replay that cannot be read\n"
    "  3  the instrument was found but could not be opened\n"
    "  4  it did not answer every start-up query within 10 s, or sent no stream\n"
    "  5  the recording could not be written\n";

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

// Remembers how the last open went, for the diagnosis.
class OpenWatch final : public vx::UsbBackend {
  public:
    explicit OpenWatch(vx::UsbBackend& device) : device_(device) {}
    vx::OpenOutcome Open() override { return outcome_ = device_.Open(); }
    vx::TransferResult Transfer(vx::Pipe pipe, std::span<uint8_t> buffer,
                                std::chrono::milliseconds timeout) override {
        return device_.Transfer(pipe, buffer, timeout);
    }
    void Close() override { device_.Close(); }
    vx::OpenOutcome Outcome() const { return outcome_; }

  private:
    vx::UsbBackend& device_;
    vx::OpenOutcome outcome_ = vx::OpenOutcome::NotFound;
};

struct Options {
    bool simulated = false;
    std::optional<std::string> replay;
    std::optional<vx::UsbId> usbId;
    std::optional<std::string> record;
    std::optional<int> seconds;
};

// The options, or the exit code when the program is to end at once.
std::variant<Options, int> ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        int seconds = 0;
        if (arg == "--help" || arg == "-h") {
            fmt::print("{}", kUsage);
            return kExitOk;
        } else if (arg == "--simulated") {
            options.simulated = true;
        } else if (arg == "--replay" && value != nullptr) {
            options.replay = argv[++i];
        } else if (arg == "--record" && value != nullptr) {
            options.record = argv[++i];
        } else if (arg == "--seconds" && value != nullptr &&
                   std::from_chars(value, value + std::strlen(value), seconds).ptr ==
                       value + std::strlen(value) &&
                   seconds > 0 && seconds <= 24 * 3600) {
            options.seconds = seconds;
            ++i;
        } else if (arg == "--usb-id" && value != nullptr &&
                   (options.usbId = vx::ParseUsbId(value))) {
            ++i;
        } else {
            fmt::print(stderr, "zemlometer-check: wrong argument \"{}\"\n{}", arg, kUsage);
            return kExitUsage;
        }
    }
    if (options.simulated + options.replay.has_value() + options.usbId.has_value() > 1) {
        fmt::print(stderr,
                   "zemlometer-check: --simulated, --replay and --usb-id exclude each other\n{}",
                   kUsage);
        return kExitUsage;
    }
    return options;
}

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

// One line: what went wrong when the device could not be opened, and what to do.
std::string OpenDiagnosis(vx::OpenOutcome outcome) {
    switch (outcome) {
        case vx::OpenOutcome::AccessDenied:
            return "The instrument was found, but this user may not open it: install the udev rule "
                   "(60-softwarevx212.rules into /etc/udev/rules.d), then unplug the instrument "
                   "and plug it in again.";
        case vx::OpenOutcome::InUse:
            return "The instrument was found, but another program holds it: close that program "
                   "(softwarevx212?), or unplug the instrument and plug it in again.";
        case vx::OpenOutcome::SetupFailed:
            return "The instrument was found, but it could not be set up: unplug it and plug it in "
                   "again; if that does not help, send the list above with your report.";
        case vx::OpenOutcome::ListRefused:
            return "The USB devices could not be listed: check that /dev/bus/usb exists and can be "
                   "read.";
        case vx::OpenOutcome::NotFound:
        case vx::OpenOutcome::Opened:
            break;
    }
    return "Device not found: plug the instrument in; if it is, install the udev rule "
           "(60-softwarevx212.rules into /etc/udev/rules.d) and plug it in again.";
}

struct StreamCount {
    int64_t samples = 0;
    int minRaw = INT16_MAX, maxRaw = INT16_MIN;
    std::set<char> statuses;
};

StreamCount CountStream(vx::TMeasData& meas, std::chrono::seconds duration) {
    StreamCount count;
    vx::MeasSample sample;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
        while (meas.TakeSample(sample)) {
            ++count.samples;
            count.minRaw = std::min<int>(count.minRaw, sample.raw);
            count.maxRaw = std::max<int>(count.maxRaw, sample.raw);
            count.statuses.insert(static_cast<char>(sample.status));
        }
    }
    return count;
}

// Runs the session on an opened link; the exit code.
int RunSession(vx::DeviceLink& link, ConsoleEvents& events, vx::ManualTimerFactory& timers,
               std::chrono::seconds streamTime) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    vx::TMeasData& meas = *link.MeasData();
    while (!meas.IsInitDone()) {
        if (std::chrono::steady_clock::now() > deadline) {
            fmt::print(stderr, "The instrument did not answer every start-up query in 10 s.\n");
            return kExitNoAnswer;
        }
        std::this_thread::sleep_for(10ms);
        events.ApplyReplies(link.Protocol());
        timers.Tick();
    }
    PrintParameters(link.Protocol().Parameters());

    // What came during the start-up is not counted.
    vx::MeasSample sample;
    while (meas.TakeSample(sample)) {
    }
    const StreamCount count = CountStream(meas, streamTime);
    fmt::print("Stream, {} s:     {} samples in about {} packets, {} short packets\n",
               streamTime.count(), count.samples, (count.samples + 9) / 10, meas.ShortPackets());
    fmt::print("Raw values:      min {}  max {}\n", count.samples ? count.minRaw : 0,
               count.samples ? count.maxRaw : 0);
    fmt::print("Status bytes:    {}\n", fmt::join(count.statuses, " "));
    if (count.samples == 0) {
        fmt::print(stderr, "The instrument sent no measuring stream.\n");
        return kExitNoAnswer;
    }
    return kExitOk;
}

bool WriteRecordingFile(std::ofstream& out, const std::string& path,
                        const vx::Recording& recording) {
    vx::WriteRecording(out, recording);
    out.close();
    if (!out) {
        fmt::print(stderr, "zemlometer-check: the recording could not be written to {}\n", path);
        return false;
    }
    fmt::print("Recording:       {} transfers written to {}\n", recording.transfers.size(), path);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseOptions(argc, argv);
    if (const int* code = std::get_if<int>(&parsed)) {
        return *code;
    }
    const Options& options = std::get<Options>(parsed);
    // Beyond the file-size limit the recording's write fails and says so instead of
    // ending the check with the session unreported.
    std::signal(SIGXFSZ, SIG_IGN);

    std::unique_ptr<vx::UsbBackend> device;
    std::string backendName;
    vx::LibusbBackend* usb = nullptr;
    if (options.simulated) {
        device = std::make_unique<vx::SimulatedInstrument>();
        backendName = "simulated";
    } else if (options.replay) {
        auto recording = vx::ReadRecordingFile(*options.replay);
        if (const auto* why = std::get_if<std::string>(&recording)) {
            fmt::print(stderr, "zemlometer-check: {}\n", *why);
            return kExitUsage;
        }
        device = std::make_unique<vx::ReplayBackend>(std::get<vx::Recording>(recording));
        backendName = "replay of " + *options.replay;
    } else {
        if (const auto problem = vx::UsbBusProblem()) {
            fmt::print(stderr, "zemlometer-check: {}\n", *problem);
            return kExitNotFound;
        }
        auto libusb = std::make_unique<vx::LibusbBackend>(options.usbId);
        usb = libusb.get();
        device = std::move(libusb);
        backendName = "libusb";
    }
    // Opened at once, so that a file that cannot be written is known before the session.
    std::ofstream recordFile;
    if (options.record) {
        recordFile.open(*options.record, std::ios::binary | std::ios::trunc);
        if (!recordFile) {
            fmt::print(stderr, "zemlometer-check: the recording cannot be written to {}\n",
                       *options.record);
            return kExitRecordingNotWritten;
        }
    }
    vx::SessionRecorder recorder(*device);
    OpenWatch watch(options.record ? static_cast<vx::UsbBackend&>(recorder) : *device);
    ConsoleMessages messages;
    ConsoleEvents events;
    vx::ManualTimerFactory timers;
    vx::DeviceLink link(watch, messages, events, timers);

    if (!link.Start(1)) {
        if (usb != nullptr) {
            fmt::print(stderr, "USB devices looked at: {}\n", usb->LastScan().size());
            for (const std::string& line : usb->LastScan()) {
                fmt::print(stderr, "  {}\n", line);
            }
        }
        fmt::print(stderr, "{}\n", OpenDiagnosis(watch.Outcome()));
        return watch.Outcome() == vx::OpenOutcome::NotFound ||
                       watch.Outcome() == vx::OpenOutcome::ListRefused
                   ? kExitNotFound
                   : kExitNotOpened;
    }
    if (usb != nullptr && !usb->LastScan().empty()) {
        backendName += ", " + usb->LastScan().back();
    }
    const auto streamTime = std::chrono::seconds(options.seconds.value_or(options.record ? 10 : 1));
    int code = RunSession(link, events, timers, streamTime);
    link.Shutdown();
    // A session that went wrong is recorded too: that is when it is needed most.
    if (options.record && !WriteRecordingFile(recordFile, *options.record,
                                              {std::string("zemlometer-check ") + VX_VERSION_TEXT,
                                               backendName, recorder.Transfers()})) {
        code = code == kExitOk ? kExitRecordingNotWritten : code;
    }
    return code;
}
