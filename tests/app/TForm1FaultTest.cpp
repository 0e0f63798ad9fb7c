// Every fault the simulated instrument can show, through the window: the message, the
// status line, the window still polling, and where the fault forces a save, the
// data sets in the chosen file and always in a rescue file, read back.
#include <gtest/gtest.h>

#include <sstream>

#include "app/GuiTestSupport.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr const char* kDataError = "Data error, save data and repower device";

std::filesystem::path UserFolderOf(const test::WindowHarness& harness) {
    return harness.temp.Path() / "config/Kelvorn/SoftwareVX212";
}

// The rescue files written into the per-user folder.
std::vector<std::filesystem::path> RescueFiles(const test::WindowHarness& harness) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(UserFolderOf(harness))) {
        if (entry.path().filename().string().starts_with("rescue-")) {
            files.push_back(entry.path());
        }
    }
    return files;
}

// The data lines of a data-set file, without their line ends.
std::vector<std::string> DataLinesOf(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadBytes(file));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(0, line.size() - 1));  // the CR of CR LF
    }
    if (!lines.empty()) {
        lines.erase(lines.begin());  // the header
    }
    return lines;
}

// Every data set of the store as its data line: what a file must hold.
std::vector<std::string> StoredDataSets(const TMeasData& meas) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i <= meas.GetDataIndex(); ++i) {
        lines.push_back(
            std::to_string(i + 1) + "\t" + meas.GetDateText(i) + "\t" + meas.GetTimeText(i) + "\t" +
            meas.GetMsText(i) + "\t" + meas.GetValueText(i) + "\t" + meas.GetMinText(i) + "\t" +
            meas.GetMaxText(i) + "\t" + meas.GetMinAvrText(i) + "\t" + meas.GetMaxAvrText(i));
    }
    return lines;
}

bool Shown(const test::WindowHarness& harness, const test::ShownMessage& message) {
    const std::vector<test::ShownMessage> shown = harness.messages.Shown();
    return std::find(shown.begin(), shown.end(), message) != shown.end();
}

std::string Status(const QLabel* label) {
    return label->text().toStdString();
}

// Start-up, then three single shots in the store.
void StartWithDataSets(test::WindowHarness& harness) {
    harness.form.show();
    harness.StartUp();
    harness.Poll(100);
    for (int k = 0; k < 3; ++k) {
        harness.form.ButtonSingleShot->click();
        harness.Poll(200);
    }
    ASSERT_EQ(harness.form.Link().MeasData()->GetDataIndex(), 2);
}

// The next poll runs: it writes the data-set counter afresh.
void ExpectPolling(TForm1& form, int dataSets) {
    EXPECT_TRUE(form.TimerGetMeas->isActive());
    form.State->clear();
    form.TimerGetMeasTimer();
    EXPECT_EQ(Status(form.State), std::to_string(dataSets) + " / 10240");
}

// Faults of a running link. The save dialog is answered with a file that is written,
// with one that cannot be written, or cancelled: the rescue file comes every time.
struct LinkFault {
    const char* name;
    std::function<void(test::WindowHarness&)> inject;
    // The messages the fault shows before the save, in any order.
    std::vector<test::ShownMessage> messages;
    // Where the save dialog points: "" cancels it.
    const char* saveAs;
    bool saveFails;
    bool endsProgram;
};

const std::vector<LinkFault> kLinkFaults = {
    {"lost connection",
     [](test::WindowHarness& h) { h.instrument.LoseConnection(); },
     {},
     "run.txt",
     false,
     false},
    {"stream stall (R2)",
     [](test::WindowHarness& h) { h.instrument.StallStream(true); },
     {{kDataError, "WARNING"}},
     "missing/run.txt",
     true,
     true},
    {"command stall (S1)",
     [](test::WindowHarness& h) {
         h.instrument.StallCommands(true);
         h.form.ZeroClick();
     },
     {{kDataError, "ERROR"}},
     "",
     false,
     false},
    {"unplug",
     [](test::WindowHarness& h) { h.instrument.Unplug(); },
     {{kDataError, "WARNING"}, {"Error WinUsb_ReadPipe in UnitUSB", "WARNING"}},
     "missing/run.txt",
     true,
     true},
};

TEST(WindowFaultTest, LinkFaultsShowTheirMessageKeepPollingAndRescueEveryDataSet) {
    for (const LinkFault& fault : kLinkFaults) {
        SCOPED_TRACE(fault.name);
        test::WindowHarness harness;  // a fresh window for each fault
        TForm1& form = harness.form;
        StartWithDataSets(harness);
        const TMeasData& meas = *form.Link().MeasData();
        const std::string saveAs = (harness.temp.Path() / fault.saveAs).string();
        harness.dialogs.saveAnswers = {*fault.saveAs ? std::optional(saveAs) : std::nullopt};

        fault.inject(harness);
        // The worker threads report on the simulated clock, queued to the window;
        // the lost connection comes with the next poll's samples.
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        const auto reported = [&] {
            for (const test::ShownMessage& message : fault.messages) {
                if (!Shown(harness, message)) {
                    return false;
                }
            }
            return fault.messages.size() > 0 || harness.dialogs.saveOpenedWith.size() == 1;
        };
        while (!reported()) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            harness.instrument.AdvanceClock(10ms);
            QApplication::processEvents();
            form.TimerGetMeasTimer();
        }
        if (!fault.messages.empty()) {
            EXPECT_EQ(harness.messages.Shown().size(), fault.messages.size());
        }
        // Confirming the fault's message saves; the rescue file follows whatever the
        // dialog's outcome, and the message after the save names it.
        harness.messages.CloseAll();
        ASSERT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
        // The single shots, or the automatic run's data sets.
        const std::vector<std::string> dataSets = StoredDataSets(meas);
        ASSERT_GE(dataSets.size(), 3u);
        const std::vector<std::filesystem::path> rescued = RescueFiles(harness);
        ASSERT_EQ(rescued.size(), 1u);
        EXPECT_EQ(DataLinesOf(rescued[0]), dataSets);
        const std::vector<test::ShownMessage> shown = harness.messages.Shown();
        ASSERT_EQ(shown.size(), fault.messages.size() + (fault.saveFails ? 2 : 1));
        EXPECT_EQ(shown.back(),
                  (test::ShownMessage{"The data sets have also been saved to the rescue file " +
                                          rescued[0].string(),
                                      "INFORMATION"}));
        if (fault.saveFails) {
            EXPECT_TRUE(shown[shown.size() - 2].text.starts_with("The file " + saveAs));
        } else if (*fault.saveAs) {
            EXPECT_EQ(DataLinesOf(saveAs), dataSets);
        }

        ExpectPolling(form, static_cast<int>(dataSets.size()));
        if (fault.messages.empty()) {
            EXPECT_EQ(Status(form.ErrorString), "No connection to Device");
        }

        // After a stream error the program ends with exit code 0, but only once the
        // message naming the rescue file has been closed.
        EXPECT_EQ(harness.exitCodes, std::vector<int>{});
        harness.messages.CloseAll();
        EXPECT_EQ(harness.exitCodes, fault.endsProgram ? std::vector<int>{0} : std::vector<int>{});
    }
}

// A start-up that never completes: after a few seconds the status line says so,
// files and languages are usable, the measurement commands wait; once the
// instrument answers, the start-up completes and the poll starts.
TEST(WindowFaultTest, UnansweredGarbledOrTruncatedReplyStopsTheStartupVisibly) {
    for (const auto fault :
         {SimulatedInstrument::ReplyFault::Unanswered, SimulatedInstrument::ReplyFault::Garbled,
          SimulatedInstrument::ReplyFault::Truncated}) {
        SCOPED_TRACE(static_cast<int>(fault));
        test::WindowHarness harness;
        TForm1& form = harness.form;
        form.show();
        harness.instrument.SetReplyFault("#Z16", fault);
        form.FormShow();
        // The replies that do come hand their texts to the window queued; the
        // window's own timers do not tick meanwhile.
        const auto tick = [&] {
            harness.timers.Tick();
            ASSERT_TRUE(harness.instrument.WaitForIdleReader(test::WindowHarness::kPatience));
            QCoreApplication::sendPostedEvents();
            form.TimerInit2Timer();
        };
        for (int k = 1; k < TForm1::kStartupPatienceTicks; ++k) {
            tick();
        }
        EXPECT_NE(Status(form.ErrorString), "Instrument does not answer");
        EXPECT_FALSE(form.loadFromFile->isEnabled());
        tick();
        EXPECT_EQ(Status(form.ErrorString), "Instrument does not answer");
        EXPECT_TRUE(form.loadFromFile->isEnabled());
        EXPECT_TRUE(form.Language->isEnabled());
        for (const QWidget* control :
             {form.ButtonSingleShot, form.Start, form.Zero, form.clrPeak}) {
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        }
        EXPECT_TRUE(form.TimerInit2->isActive());
        EXPECT_FALSE(form.TimerGetMeas->isActive());
        // Each pass of the start-up asks for the instrument's error text again, which
        // comes empty: the status line keeps saying that the start-up hangs.
        for (int k = 0; k < 100; ++k) {
            tick();
        }
        EXPECT_EQ(Status(form.ErrorString), "Instrument does not answer");

        harness.instrument.SetReplyFault("#Z16", SimulatedInstrument::ReplyFault::None);
        for (int k = 0; k < 200 && !form.TimerGetMeas->isActive(); ++k) {
            tick();
        }
        EXPECT_TRUE(form.TimerGetMeas->isActive());
        EXPECT_EQ(Status(form.ErrorString), "");
        EXPECT_TRUE(form.ButtonSingleShot->isEnabled());
        EXPECT_TRUE(form.Start->isEnabled());
    }
}

TEST(WindowFaultTest, AbsentOrBusyInstrumentLeavesFilesUsableWithoutPoll) {
    for (const bool inUse : {false, true}) {
        SCOPED_TRACE(inUse ? "in use" : "absent");
        test::WindowHarness harness;
        TForm1& form = harness.form;
        form.show();
        harness.instrument.SetAbsent(!inUse);
        harness.instrument.SetInUse(inUse);
        form.FormShow();
        EXPECT_EQ(Status(form.ErrorString), "Device not found");
        const std::vector<test::ShownMessage> expected =
            inUse ? std::vector<test::ShownMessage>{{"device in use?", "Error"}}
                  : std::vector<test::ShownMessage>{};
        EXPECT_EQ(harness.messages.Shown(), expected);
        EXPECT_TRUE(form.loadFromFile->isEnabled());
        EXPECT_TRUE(form.Language->isEnabled());
        EXPECT_FALSE(form.ButtonSingleShot->isEnabled());
        EXPECT_FALSE(form.TimerInit2->isActive());
        EXPECT_FALSE(form.TimerGetMeas->isActive());
    }
}

// Packets of 16 bytes bring five of their ten samples: the sample clock still counts
// the milliseconds of the missing ones, and the loss is said once.
TEST(WindowFaultTest, ShortPacketsKeepTheSampleClockAndAreShownOnce) {
    test::WindowHarness harness;
    TForm1& form = harness.form;
    StartWithDataSets(harness);
    const TMeasData& meas = *form.Link().MeasData();
    const double before = meas.sampleTime;
    harness.instrument.SetPacketBytes(16);
    harness.PollShortPackets(300, 5);
    EXPECT_EQ(Status(form.ErrorString), "Samples lost in the measuring stream");
    form.ErrorString->clear();
    form.ButtonSingleShot->click();  // one window of 100 samples: 200 ms of this stream
    harness.PollShortPackets(300, 5);
    EXPECT_EQ(Status(form.ErrorString), "");
    // 60 packets: 300 samples arrived; 295 went missing before the last one arrived.
    const double elapsedMs = (meas.sampleTime - before) * 86'400'000.0;
    EXPECT_NEAR(elapsedMs, 595.0, 0.01);
    ASSERT_EQ(meas.GetDataIndex(), 3);
    // The data set's time is where the stream was, not where its samples alone lead.
    const double stampMs = (meas.GetTimeStamp(3) - meas.GetTimeStamp(2)) * 86'400'000.0;
    EXPECT_GT(stampMs, 300.0);
    ExpectPolling(form, 4);
}

// Empty packets: after a second without a sample the status line says so; the poll
// goes on, and when samples come again the text goes.
TEST(WindowFaultTest, EmptyPacketsForASecondAreShownAndThePollGoesOn) {
    test::WindowHarness harness;
    TForm1& form = harness.form;
    StartWithDataSets(harness);
    harness.instrument.SetPacketBytes(0);
    for (int poll = 1; poll < StreamWatch::kSilentPolls; ++poll) {
        harness.PollShortPackets(100, 0);
    }
    EXPECT_NE(Status(form.ErrorString), "No samples from the instrument");
    harness.PollShortPackets(100, 0);
    EXPECT_EQ(Status(form.ErrorString), "No samples from the instrument");
    ExpectPolling(form, 3);
    harness.instrument.SetPacketBytes(32);
    harness.Poll(100);
    // Samples came again, after a loss: the loss is what is said now.
    EXPECT_EQ(Status(form.ErrorString), "Samples lost in the measuring stream");
}

}  // namespace
}  // namespace vx
