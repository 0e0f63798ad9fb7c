// The window end to end: start-up over the simulated instrument, the poll, the device
// buttons and single shots, with the instrument's clock and the window's timers
// driven by the test.
#include <gtest/gtest.h>

#include "app/GuiTestSupport.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

constexpr auto kPatience = 10s;  // real time a worker thread may take

// Raw value of the simulated sensor for a force in newton (1/40 N per digit,
// offset 0.125 N), before linearisation.
int16_t RawFor(double newton) {
    return static_cast<int16_t>((newton + 0.125) * 40);
}

class WindowRunTest : public ::testing::Test {
  protected:
    WindowRunTest() { form.show(); }

    // Runs start-up and the instrument's start-up sequence until the poll runs.
    void StartUp() {
        form.FormShow();
        ASSERT_NE(form.Link().MeasData(), nullptr);
        for (int tick = 0; tick < 200 && !form.Link().MeasData()->IsInitDone(); ++tick) {
            harness.timers.Tick();
            ASSERT_TRUE(harness.instrument.WaitForIdleReader(kPatience));
            QApplication::processEvents();  // the decoded replies, handed over
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
        const int64_t target = harness.instrument.SamplesSent() + ms;
        harness.instrument.AdvanceClock(std::chrono::milliseconds(ms));
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (harness.instrument.SamplesSent() < target ||
               meas.UnreadSamples() < static_cast<int32_t>(target - consumed_)) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline);
            std::this_thread::yield();
        }
        consumed_ = target;
        form.TimerGetMeasTimer();
    }
    // Streams in polls of at most 500 ms, the ring holding one second.
    void Stream(int ms) {
        for (; ms > 0; ms -= 500) {
            Poll(std::min(ms, 500));
        }
    }

    std::string Text(const QLabel* label) const { return label->text().toStdString(); }

    test::WindowHarness harness;
    TForm1& form = harness.form;
    int64_t consumed_ = 0;
};

TEST_F(WindowRunTest, WithoutInstrumentFilesAndChoicesStayUsable) {
    harness.instrument.SetAbsent(true);
    form.FormShow();
    EXPECT_EQ(Text(form.ErrorString), "Device not found");
    EXPECT_FALSE(form.TimerInit2->isActive());
    EXPECT_FALSE(form.TimerGetMeas->isActive());
    for (QWidget* usable :
         std::initializer_list<QWidget*>{form.ClrAll, form.loadFromFile, form.ButtonExcel,
                                         form.ButtonZoom, form.ComboBoxSampleRate, form.Language}) {
        EXPECT_TRUE(usable->isEnabled()) << usable->objectName().toStdString();
    }
    for (QWidget* off : std::initializer_list<QWidget*>{
             form.ButtonSingleShot, form.Start, form.Stop, form.ClrLast, form.clrPeak, form.Zero,
             form.saveToFile, form.CheckBoxAutoClrPeak}) {
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    }
    EXPECT_EQ(form.windowTitle(), "ZEMLOVIEW 418 USB (Version: 1.1.0.48)");
    EXPECT_TRUE(harness.settings.startupDone);
}

TEST_F(WindowRunTest, StartupWithEmptySettingsShowsTheDefaults) {
    harness.instrument.SetAbsent(true);
    form.FormShow();
    EXPECT_EQ(form.ComboBoxSampleRate->currentText(), "100 ms |   10 Hz");
    EXPECT_EQ(form.RadioGroupGraficMode->ItemIndex(), 0);
    for (const QLabel* shown : {form.pkMax, form.pkMin, form.meas300}) {
        EXPECT_TRUE(shown->isVisible());
    }
    for (const QWidget* hidden : std::initializer_list<const QWidget*>{
             form.pkMaxAvr, form.pkMinAvr, form.CheckBoxHiRes, form.CheckBoxAutoClrPeak,
             form.CheckBoxToKeyBuf, form.TolvikCompany, form.Label14}) {
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    }
    ASSERT_NE(form.Chart().Series(SeriesValue), nullptr);
}

TEST_F(WindowRunTest, OptionalBoxesFromSettingsMoveTheInformationBlock) {
    harness.instrument.SetAbsent(true);
    harness.WriteSettingsFile(
        "ShowClrPeakCheckBox=1\nShowKeyBufCheckBox=1\nWriteToKeyBuffer=1\nResolution=1\n");
    form.FormShow();
    EXPECT_EQ(form.ButtonSingleShot->height(), 30);
    EXPECT_TRUE(form.CheckBoxAutoClrPeak->isVisible());
    EXPECT_FALSE(form.CheckBoxAutoClrPeak->isEnabled());
    EXPECT_TRUE(form.CheckBoxHiRes->isVisible());
    EXPECT_TRUE(form.CheckBoxToKeyBuf->isChecked());
    EXPECT_EQ(form.CheckBoxToKeyBuf->y(), 100);
    const std::pair<const QLabel*, int> rows[] = {{form.Label1, 120},     {form.SerialDev, 140},
                                                  {form.SerialSens, 160}, {form.NomVal, 180},
                                                  {form.State, 200},      {form.Label12, 200}};
    for (const auto& [label, top] : rows) {
        EXPECT_EQ(label->y(), top) << label->objectName().toStdString();
    }
    // The key-buffer box wrote its keys while start-up set it.
    EXPECT_EQ(harness.StoredValue("useSelKeySingleShot"), "1");
    EXPECT_TRUE(harness.settings.useSelKeySingleShot);
}

TEST_F(WindowRunTest, IdentityAndLiveValuesFollowTheInstrument) {
    harness.instrument.SetProfile([](int64_t) { return RawFor(40.0); });
    StartUp();
    EXPECT_EQ(Text(form.SerialSens), "SN500N-4711");
    EXPECT_EQ(Text(form.SerialDev), "ZM418-000123");
    EXPECT_EQ(Text(form.NomVal), "500.0 N");
    // Queued, like the replies: shown by the event loop that start-up ran.
    EXPECT_EQ(Text(form.Label1), "VX212 FW 2.14");
    EXPECT_TRUE(form.ButtonSingleShot->isEnabled());
    EXPECT_TRUE(form.loadFromFile->isEnabled());

    Poll(200);
    EXPECT_EQ(Text(form.meas300), " 40.05 N");
    EXPECT_EQ(Text(form.pkMax), " 40.05 N");
    EXPECT_EQ(Text(form.State), "0 / 10240");
    EXPECT_FALSE(form.LabelOverflow->isVisible());
}

TEST_F(WindowRunTest, ZeroAndPeakClearWorkThroughTheStream) {
    std::atomic<int16_t> raw{RawFor(80.0)};
    harness.instrument.SetProfile([&](int64_t) { return raw.load(); });
    StartUp();
    Poll(200);

    form.ZeroClick();
    EXPECT_EQ(harness.instrument.ReceivedCommands().back(), "#A03");
    Stream(1100);  // the new reference forms over 1000 samples
    // Zero, give or take a rounding of the reference ("-0.00" as printf prints it).
    EXPECT_EQ(Text(form.meas300).substr(2), "0.00 N");

    raw = RawFor(40.0);
    Poll(200);
    EXPECT_EQ(Text(form.pkMax).substr(2), "0.00 N");  // the earlier maximum, relative to zero
    form.clrPeakClick();
    EXPECT_EQ(harness.instrument.ReceivedCommands().back(), "#B03");
    Poll(200);
    EXPECT_EQ(Text(form.pkMax), "-40.05 N");
}

TEST_F(WindowRunTest, OverloadMarkStaysOneSecondAfterTheLastOverload) {
    std::atomic<int16_t> raw{RawFor(600.0)};
    harness.instrument.SetProfile([&](int64_t) { return raw.load(); });
    StartUp();
    Poll(200);
    EXPECT_TRUE(form.LabelOverflow->isVisible());
    raw = RawFor(10.0);
    Poll(500);
    EXPECT_TRUE(form.LabelOverflow->isVisible());
    Poll(490);
    EXPECT_TRUE(form.LabelOverflow->isVisible());
    Poll(10);  // 1000 samples after the last overloaded window
    EXPECT_FALSE(form.LabelOverflow->isVisible());
}

TEST_F(WindowRunTest, SingleShotsAreListedOneRowEach) {
    harness.instrument.SetProfile([](int64_t) { return RawFor(40.0); });
    StartUp();
    Poll(100);
    form.ButtonSingleShot->click();
    form.ButtonSingleShot->click();  // within the same window: one data set
    EXPECT_TRUE(form.saveToFile->isEnabled());
    EXPECT_FALSE(form.RadioGroupGraficMode->isEnabled());
    Poll(200);
    EXPECT_EQ(Text(form.State), "1 / 10240");
    ASSERT_EQ(form.TableRows().Count(), 1);
    EXPECT_EQ(form.TableRows().Row(0)[0], "1");
    EXPECT_EQ(form.TableRows().Row(0)[4], " 40.05");
    EXPECT_EQ(form.TableRows().Captions()[4], "[Value] = N");
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Points(), (std::vector<ChartPoint>{{1, 40.05}}));

    // The instrument's key takes data sets only when the key buffer is switched on.
    harness.instrument.PressKey();
    Poll(200);
    EXPECT_EQ(form.TableRows().Count(), 1);
    harness.folders.applicationData = harness.temp.Path() / "config";
    form.CheckBoxToKeyBuf->setChecked(true);
    EXPECT_EQ(harness.StoredValue("WriteToKeyBuffer"), "1");
    EXPECT_EQ(harness.StoredValue("useSelKeySingleShot"), "1");
    harness.instrument.PressKey();
    Poll(200);
    EXPECT_EQ(form.TableRows().Count(), 2);
    EXPECT_EQ(harness.keyboard.typed, std::vector<std::string>{" 40.05"});

    form.ClrLastClick();
    form.ClrLastClick();
    EXPECT_EQ(form.TableRows().Count(), 0);
    EXPECT_FALSE(form.saveToFile->isEnabled());
    EXPECT_FALSE(form.ButtonExcel->isEnabled());
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 0u);
}

TEST_F(WindowRunTest, ClearPeakAfterSingleShotGoesOutOnce) {
    harness.WriteSettingsFile("ClrPeakAfterSingleShot=1\nTimerClrPeakMs=250\n");
    StartUp();
    EXPECT_TRUE(form.CheckBoxAutoClrPeak->isChecked());
    const size_t before = harness.instrument.ReceivedCommands().size();
    form.ButtonSingleShot->click();
    form.ButtonSingleShot->click();
    EXPECT_TRUE(form.TimerZeroSingle->isActive());
    EXPECT_EQ(form.TimerZeroSingle->interval(), 250);
    form.TimerZeroSingleTimer();
    EXPECT_FALSE(form.TimerZeroSingle->isActive());
    const auto sent = harness.instrument.ReceivedCommands();
    EXPECT_EQ(std::vector<std::string>(sent.begin() + before, sent.end()),
              std::vector<std::string>{"#B03"});
}

TEST_F(WindowRunTest, SampleRateChangeEndsTheRunningWindow) {
    harness.instrument.SetProfile([](int64_t) { return RawFor(1.0); });
    StartUp();
    Stream(1000);  // ten windows of 100
    TMeasData& meas = *form.Link().MeasData();
    EXPECT_EQ(meas.samplesPerValue, 100);
    Poll(40);
    EXPECT_EQ(meas.blockCount, 40);
    form.ComboBoxSampleRateChange(0);
    EXPECT_EQ(harness.StoredValue("SampleRate"), "0");
    EXPECT_EQ(meas.samplesPerValue, 1);
    // The next sample ends the window: the sum of 41 samples of 1.0016 N, divided by 1.
    form.ButtonSingleShot->click();
    Poll(10);
    ASSERT_EQ(form.TableRows().Count(), 1);
    EXPECT_EQ(form.TableRows().Row(0)[4], " 41.05");

    form.ComboBoxSampleRateChange(13);  // no such item: the window stays
    EXPECT_EQ(meas.samplesPerValue, 1);
    EXPECT_EQ(harness.StoredValue("SampleRate"), "0");
}

TEST_F(WindowRunTest, AutomaticRunIsListedInChronologicalOrderWhenItEnds) {
    StartUp();
    form.StartClick();
    EXPECT_TRUE(form.Stop->isEnabled());
    EXPECT_FALSE(form.Start->isEnabled());
    EXPECT_FALSE(form.RadioGroupGraficMode->isEnabled());
    // A long run has filled the store and wrapped: the newest data set is record 99.
    TMeasData& meas = *form.Link().MeasData();
    for (int i = 0; i < meas.GetDataListSize(); ++i) {
        meas.dataList[i].value = " " + std::to_string(i);
    }
    meas.dataIndex = 99;
    meas.dataWrapped = true;
    form.TimerGetMeasTimer();
    EXPECT_EQ(form.TableRows().Count(), 0);  // nothing listed while the run lasts

    form.Stop->click();
    EXPECT_EQ(Text(form.ErrorString), "BUSY by Calculation");
    EXPECT_FALSE(meas.IsAutoMode());
    form.TimerGetMeasTimer();
    const DataSetRows& rows = form.TableRows();
    ASSERT_EQ(rows.Count(), 10241);
    EXPECT_EQ(rows.Row(0)[0], "1");
    EXPECT_EQ(rows.Row(0)[4], " 100");
    EXPECT_EQ(rows.Row(10139)[4], " 10239");
    EXPECT_EQ(rows.Row(10140)[4], " 0");
    EXPECT_EQ(rows.Row(10239)[0], "10240");
    EXPECT_EQ(rows.Row(10239)[4], " 99");
    EXPECT_EQ(rows.Row(10240), TableRow{});
    EXPECT_EQ(meas.GetDataIndex(), 10239);
    EXPECT_EQ(Text(form.ErrorString), "");
    EXPECT_TRUE(form.Start->isEnabled());
    EXPECT_FALSE(form.Stop->isEnabled());
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 10240u);
}

TEST_F(WindowRunTest, SingleShotAfterARunKeepsTheRunThatFollowedALoad) {
    StartUp();
    test::WriteBytes(harness.temp.Path() / "old.txt",
                     "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
                     "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n"
                     "1\t08.12.2026\t14:03:27\t250\t 12.35\t 1\t 2\t 3\t 4\r\n");
    harness.dialogs.openAnswers = {(harness.temp.Path() / "old.txt").string()};
    form.loadFromFileClick();
    ASSERT_TRUE(form.loadedDataShown);

    form.StartClick();  // clears the loaded file and records anew
    Poll(500);
    form.StopClick();
    Poll(100);
    const int32_t recorded = form.Link().MeasData()->GetDataIndex();
    ASSERT_GE(recorded, 4);
    form.ButtonSingleShotClick();
    EXPECT_EQ(form.Link().MeasData()->GetDataIndex(), recorded);  // the run is still there
    EXPECT_EQ(form.TableRows().Count(), recorded + 2);
}

TEST_F(WindowRunTest, LostConnectionSavesOnceAndSwitchesTheGroupOff) {
    StartUp();
    Poll(100);
    harness.instrument.LoseConnection();
    Poll(100);
    EXPECT_EQ(Text(form.ErrorString), "No connection to Device");
    EXPECT_FALSE(form.ButtonSingleShot->isEnabled());
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
    form.TimerGetMeasTimer();
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
}

TEST_F(WindowRunTest, ReinitialisationDiscardsDataSetsAndStartsAfresh) {
    StartUp();
    Poll(100);
    form.ButtonSingleShot->click();
    Poll(200);
    ASSERT_EQ(form.Link().MeasData()->GetDataIndex(), 0);
    std::atomic<bool> done{false};
    std::thread clock([&] {
        while (!done) {
            harness.instrument.AdvanceClock(100ms);
            std::this_thread::yield();
        }
    });
    form.Init_USB_DeviceClick();
    done = true;
    clock.join();
    EXPECT_EQ(form.Link().MeasData()->GetDataIndex(), -1);
    EXPECT_FALSE(form.Link().MeasData()->IsInitDone());
    EXPECT_NE(form.Link().CommandThread(), nullptr);
}

TEST_F(WindowRunTest, DataErrorShowsItsMessageThenSaves) {
    StartUp();
    harness.instrument.StallCommands(true);
    form.ZeroClick();
    QApplication::processEvents();
    ASSERT_EQ(harness.messages.Shown().size(), 1u);
    EXPECT_EQ(harness.messages.Shown()[0],
              (test::ShownMessage{"Data error, save data and repower device", "ERROR"}));
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 0u);
    harness.messages.CloseAll();
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
}

}  // namespace
}  // namespace vx
