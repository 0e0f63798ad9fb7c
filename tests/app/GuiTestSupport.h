#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/TForm1.h"
#include "base/IniFile.h"
#include "base/ManualTimer.h"
#include "device/SimulatedInstrument.h"
#include "support/FixedFolders.h"
#include "support/Recorders.h"
#include "support/TempFolder.h"

namespace vx::test {

// The one application object of a window test executable.
inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "window_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// Records the texts typed and hands them on to the keyboard output under test, if any.
class RecordingKeyboard final : public KeyboardOutput {
  public:
    void TypeText(const std::string& text) override {
        typed.push_back(text);
        if (forwardTo != nullptr) {
            forwardTo->TypeText(text);
        }
    }
    void Prepare() override {
        if (forwardTo != nullptr) {
            forwardTo->Prepare();
        }
    }
    std::vector<std::string> typed;
    KeyboardOutput* forwardTo = nullptr;
};

class RecordingLauncher final : public ProgramLauncher {
  public:
    void StartExternalProgram(const std::string& program, const std::string& params) override {
        started.push_back(program + "|" + params);
    }
    std::vector<std::string> started;
};

// Dialogs that answer with the names the test queued, nullopt (cancel) when none is
// left, and remember the name each one was opened with.
class ScriptedDialogs final : public FileDialogs {
  public:
    std::optional<std::string> AskSaveName(const std::string& lastName) override {
        return Answer(saveOpenedWith, saveAnswers, lastName);
    }
    std::optional<std::string> AskOpenName(const std::string& lastName) override {
        return Answer(openOpenedWith, openAnswers, lastName);
    }
    std::vector<std::string> saveOpenedWith, openOpenedWith;
    std::vector<std::optional<std::string>> saveAnswers, openAnswers;

  private:
    static std::optional<std::string> Answer(std::vector<std::string>& openedWith,
                                             std::vector<std::optional<std::string>>& answers,
                                             const std::string& lastName) {
        openedWith.push_back(lastName);
        if (answers.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

// The real window over the simulated instrument on a clock the test advances, with
// its settings in a fresh folder, its timers ticked by hand and every seam recorded.
// The program was started in its install folder, so settings live per user, in a
// folder an earlier run has made.
class WindowHarness {
  public:
    WindowHarness() {
        folders = FoldersUnder(temp.Path(), (temp.Path() / "opt/Kelvorn/SoftwareVX212").string());
        settings.localeFormat.shortDateFormat = "%d.%m.%Y";
        settings.localeFormat.longTimeFormat = "%H:%M:%S";
        std::filesystem::create_directories(temp.Path() / "config/Kelvorn/SoftwareVX212");
    }
    ~WindowHarness() { Close(); }

    // Writes settings lines into the per-user settings file before start-up.
    void WriteSettingsFile(const std::string& configLines) {
        WriteBytes(temp.Path() / "config/Kelvorn/SoftwareVX212/418config.ini",
                   "[Config]\n" + configLines);
    }

    // The value of a key in the per-user settings file; "" when it is not there.
    std::string StoredValue(const std::string& key) const {
        const auto ini = IniFile::Load(temp.Path() / "config/Kelvorn/SoftwareVX212/418config.ini");
        return ini ? ini->ReadString("Config", key, "") : "";
    }

    // Runs start-up and the instrument's start-up sequence until the poll runs.
    void StartUp() {
        form.FormShow();
        ASSERT_NE(form.Link().MeasData(), nullptr);
        for (int tick = 0; tick < 200 && !form.Link().MeasData()->IsInitDone(); ++tick) {
            timers.Tick();
            ASSERT_TRUE(instrument.WaitForIdleReader(kPatience));
            // The decoded replies, handed over; no timer of the window runs meanwhile.
            QCoreApplication::sendPostedEvents();
        }
        ASSERT_TRUE(form.Link().MeasData()->IsInitDone());
        ASSERT_TRUE(form.TimerInit2->isActive());
        form.TimerInit2Timer();
        ASSERT_TRUE(form.TimerGetMeas->isActive());
        EXPECT_FALSE(form.TimerInit2->isActive());
    }

    // Lets the instrument stream for ms milliseconds, then runs one poll.
    void Poll(int ms) {
        TMeasData& meas = *form.Link().MeasData();
        const int64_t target = instrument.SamplesSent() + ms;
        instrument.AdvanceClock(std::chrono::milliseconds(ms));
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (instrument.SamplesSent() < target ||
               meas.UnreadSamples() < static_cast<int32_t>(target - consumed_)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::yield();
        }
        consumed_ = target;
        form.TimerGetMeasTimer();
    }
    // Lets the instrument stream for ms milliseconds of short packets, each with
    // samplesPerPacket complete samples (SetPacketBytes), then runs one poll.
    void PollShortPackets(int ms, int samplesPerPacket) {
        TMeasData& meas = *form.Link().MeasData();
        const int64_t packets = ms / 10;
        const int64_t target = meas.ShortPackets() + packets;
        instrument.AdvanceClock(std::chrono::milliseconds(ms));
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (meas.ShortPackets() < target || meas.UnreadSamples() < packets * samplesPerPacket) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::yield();
        }
        consumed_ = instrument.SamplesSent();
        form.TimerGetMeasTimer();
    }
    // Streams in polls of at most 500 ms, the ring holding one second.
    void Stream(int ms) {
        for (; ms > 0; ms -= 500) {
            Poll(std::min(ms, 500));
        }
    }

    // The close stops the worker threads, which wait on the simulated clock: move it
    // on meanwhile.
    void Close() {
        WhileTheClockRuns([this] { form.FormClose(); });
    }
    // Closes the window as the user does, the clock running in case the link stops.
    void CloseWindow() {
        WhileTheClockRuns([this] { form.close(); });
    }
    void WhileTheClockRuns(const std::function<void()>& action) {
        std::atomic<bool> done{false};
        std::thread clock([&] {
            while (!done) {
                instrument.AdvanceClock(std::chrono::milliseconds(100));
                std::this_thread::yield();
            }
        });
        action();
        done = true;
        clock.join();
    }

    // Real time a worker thread may take.
    static constexpr std::chrono::seconds kPatience{10};

  private:
    // First of all: the window needs the application object.
    bool applicationReady_ = (EnsureApplication(), true);
    // Samples the polls have taken from the ring.
    int64_t consumed_ = 0;

  public:
    TempFolder temp;
    FixedFolders folders;
    Settings settings;
    SimulatedInstrument instrument{SimulatedInstrument::ClockMode::Manual};
    RecordingMessages messages;
    ManualTimerFactory timers;
    RecordingKeyboard keyboard;
    RecordingLauncher launcher;
    ScriptedDialogs dialogs;
    // The programs "Clipboard + &Excel" started, and the result each start gives.
    std::vector<std::vector<std::string>> detachedStarts;
    int detachedStartResult = 0;
    // The questions asked before unsaved data sets would be discarded, and the answers
    // queued for them (Cancel when none is left).
    std::vector<std::string> discardQuestions;
    std::vector<DiscardAnswer> discardAnswers;
    int windowClosedCalls = 0;
    // The exit codes the program asked to end with.
    std::vector<int> exitCodes;
    TForm1 form{{instrument, messages, timers, settings, folders, keyboard, launcher, dialogs,
                 [] { return LocaleFormat{}; }, SystemClipboard(),
                 [this](const std::vector<std::string>& argv) {
                     detachedStarts.push_back(argv);
                     return detachedStartResult;
                 },
                 [this](const std::string& question) {
                     discardQuestions.push_back(question);
                     if (discardAnswers.empty()) {
                         return DiscardAnswer::Cancel;
                     }
                     const DiscardAnswer answer = discardAnswers.front();
                     discardAnswers.erase(discardAnswers.begin());
                     return answer;
                 },
                 [this] { ++windowClosedCalls; },
                 [this](int code) {
                     exitCodes.push_back(code);
                     QCoreApplication::exit(code);
                 }}};
};

}  // namespace vx::test
