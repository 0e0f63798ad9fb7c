// The window end to end: start-up over the simulated instrument, the poll, the device
// buttons and single shots, with the instrument's clock and the window's timers
// driven by the test.
#include <gtest/gtest.h>
#include <QHeaderView>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "app/GuiTestSupport.h"
#include "base/ProgramError.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

// Raw value of the simulated sensor for a force in newton (1/40 N per digit,
// offset 0.125 N), before linearisation.
int16_t RawFor(double newton) {
    return static_cast<int16_t>((newton + 0.125) * 40);
}

class WindowRunTest : public ::testing::Test {
  protected:
    WindowRunTest() { form.show(); }

    void StartUp() { harness.StartUp(); }
    void Poll(int ms) { harness.Poll(ms); }
    void Stream(int ms) { harness.Stream(ms); }

    std::string Text(const QLabel* label) const { return label->text().toStdString(); }

    // Loads a data-set file of one data set.
    void LoadOneDataSet() {
        const auto file = harness.temp.Path() / "old.txt";
        test::WriteBytes(file,
                         "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
                         "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n"
                         "1\t08.12.2026\t14:03:27\t250\t 12.35\t 1\t 2\t 3\t 4\r\n");
        harness.dialogs.openAnswers = {file.string()};
        form.loadFromFileClick();
        ASSERT_TRUE(form.loadedDataShown);
    }

    test::WindowHarness harness;
    TForm1& form = harness.form;
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
    // Typed only while no window of this program is active.
    form.hide();
    ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeWindow() == nullptr; }));
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
    // The next sample ends the window: the mean of the 41 samples it summed, and the
    // averaged peaks take no other mean.
    form.ButtonSingleShot->click();
    Poll(10);
    ASSERT_EQ(form.TableRows().Count(), 1);
    EXPECT_EQ(form.TableRows().Row(0)[4], "  1.00");
    EXPECT_EQ(form.TableRows().Row(0)[8], "  1.00");
    EXPECT_EQ(Text(form.pkMaxAvr), "  1.00 N");

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

// A full store listed after a run, in a locale with AM and PM and with values as wide
// as the instrument shows them: the columns hold every caption and cell whole.
TEST_F(WindowRunTest, AfterAFullRunNoCellOfTheTableIsCut) {
    StartUp();
    harness.settings.localeFormat.shortDateFormat = "%m/%d/%Y";
    harness.settings.localeFormat.longTimeFormat = "%I:%M:%S %p";
    form.StartClick();
    TMeasData& meas = *form.Link().MeasData();
    const double nominal = form.Link().Protocol().Parameters().nominalValue;
    ASSERT_GT(nominal, 0);
    ValueFormatter formatter(nominal);
    const LocaleFormat& locale = harness.settings.localeFormat;
    for (int i = 0; i < meas.GetDataListSize(); ++i) {
        tDataListArray& record = meas.dataList[i];
        const double when = 46000.0 + i / 700.0;  // across days and hours
        record.date = FormatDateText(locale, when);
        record.time = FormatTimeText(locale, when);
        record.ms = "999";
        record.value = record.min = record.max = record.minAvr = record.maxAvr =
            formatter.FormatValue(-1.6 * nominal + i * 0.137);
        record.timeStamp = when;
    }
    meas.dataIndex = meas.GetDataListSize() - 1;
    meas.dataWrapped = true;
    form.TimerGetMeasTimer();  // the run has recorded
    form.Stop->click();
    form.TimerGetMeasTimer();
    ASSERT_EQ(form.TableRows().Count(), meas.GetDataListSize() + 1);

    const QHeaderView& header = *form.ListView1->horizontalHeader();
    const QFontMetrics metrics = form.ListView1->fontMetrics();
    const int margins =
        2 * (form.ListView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    for (int column = 0; column < kTableColumns; ++column) {
        SCOPED_TRACE(form.TableRows().Captions()[column]);
        EXPECT_LE(header.sectionSizeHint(column), header.sectionSize(column));
        int widest = 0;
        for (int row = 0; row < form.TableRows().Count(); ++row) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(
                                          form.TableRows().Row(row)[column])));
        }
        EXPECT_LE(widest + margins, header.sectionSize(column));
    }
}

TEST_F(WindowRunTest, SingleShotAfterARunKeepsTheRunThatFollowedALoad) {
    StartUp();
    LoadOneDataSet();

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

// The data lines of a saved file, without their line ends.
std::vector<std::string> DataLinesOf(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadBytes(file));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(0, line.size() - 1));  // the CR of CR LF
    }
    lines.erase(lines.begin());  // the header
    return lines;
}

std::string Joined(const TableRow& row) {
    std::string line = row[0];
    for (size_t k = 1; k < row.size(); ++k) {
        line += "\t" + row[k];
    }
    return line;
}

// Date, time and milliseconds of a data line, in an order that sorts by time.
std::string TimeKey(const std::string& line) {
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) {
        f.push_back(field);
    }
    const std::string& d = f.at(1);  // dd.mm.yyyy
    return d.substr(6, 4) + d.substr(3, 2) + d.substr(0, 2) + f.at(2) + f.at(3);
}

// A run that wrapped the store: after the stop, row r is record r, so the file is in
// time order and holds the table's rows, and "CLR LAST MEASUREMENT" takes the same
// data set from the table, the chart and the next file.
TEST_F(WindowRunTest, WrappedRunIsSavedAsListedAndClearLastTakesTheSameDataSet) {
    harness.WriteSettingsFile("SampleRate=0\n");  // a data set every millisecond
    StartUp();
    form.StartClick();
    Stream(12640);
    form.StopClick();
    Poll(0);
    TMeasData& meas = *form.Link().MeasData();
    ASSERT_EQ(meas.GetDataIndex(), 10239);
    const DataSetRows& rows = form.TableRows();
    ASSERT_EQ(rows.Count(), 10241);

    const auto first = harness.temp.Path() / "run.txt";
    const auto second = harness.temp.Path() / "after-clear.txt";
    harness.dialogs.saveAnswers = {first.string(), second.string()};
    form.saveToFileClick();
    const std::vector<std::string> saved = DataLinesOf(first);
    ASSERT_EQ(saved.size(), 10240u);
    for (int r = 0; r < 10240; ++r) {
        ASSERT_EQ(saved[r], Joined(rows.Row(r))) << "line " << r + 2;
        if (r > 0) {
            ASSERT_LE(TimeKey(saved[r - 1]), TimeKey(saved[r])) << "line " << r + 2;
        }
    }

    const TableRow newest = rows.Row(10239);
    form.ClrLastClick();
    EXPECT_EQ(rows.Count(), 10240);
    EXPECT_EQ(rows.Row(10239), TableRow{});  // the blank row moved up
    EXPECT_NE(rows.Row(10238), newest);
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 10239u);
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Points().back().x, 10239.0);
    form.saveToFileClick();
    EXPECT_EQ(DataLinesOf(second), std::vector<std::string>(saved.begin(), saved.end() - 1));
}

// In the time modes a running automatic run plots its points at their time from the
// oldest data set of the store, where the table puts them once the run has ended: the
// points stay where they are when the run stops.
class WindowRunTimeAxisTest : public WindowRunTest {
  protected:
    void RunAndCompare(int ms) {
        StartUp();
        form.StartClick();
        Stream(ms);
        during = form.Chart().Series(SeriesValue)->Points();
        form.StopClick();
        Poll(0);
        after = form.Chart().Series(SeriesValue)->Points();
        ASSERT_FALSE(during.empty());
        for (const ChartPoint& p : during) {
            const auto found =
                std::lower_bound(after.begin(), after.end(), p.x - 1e-6,
                                 [](const ChartPoint& q, double x) { return q.x < x; });
            ASSERT_NE(found, after.end()) << p.x;
            EXPECT_NEAR(found->x, p.x, 1e-6);
            EXPECT_EQ(found->y, p.y) << p.x;
        }
    }
    std::vector<ChartPoint> during, after;
};

TEST_F(WindowRunTimeAxisTest, RunOfFiveSecondsAtOneHundredMilliseconds) {
    harness.WriteSettingsFile("graficMode=1\n");
    RunAndCompare(5000);
    EXPECT_EQ(during.front().x, 0.0);
    EXPECT_NEAR(during.back().x, 0.1 * static_cast<double>(during.size() - 1), 1e-6);
    EXPECT_EQ(after.size(), during.size());
}

// 12 640 data sets: the store has wrapped; every 100th data set has a point during
// the run, the newest at record 2300.
TEST_F(WindowRunTimeAxisTest, WrappedRunAtOneMillisecond) {
    harness.WriteSettingsFile("graficMode=2\nSampleRate=0\n");
    RunAndCompare(12640);
    EXPECT_NEAR(during.back().x, 10.14, 1e-6);
    EXPECT_NEAR(after.back().x, 10.239, 1e-6);
    EXPECT_EQ(after.front().x, 0.0);
}

// With the focus in this program's own window the mean is not typed (Return would
// press its focused button); the data set and the external program are not affected.
TEST_F(WindowRunTest, NothingIsTypedIntoThisProgramsOwnWindow) {
    harness.WriteSettingsFile("WriteToKeyBuffer=1\nuseSelKeySingleShot=1\nextProgramm=logger\n");
    harness.settings.extProgramm = "logger";
    StartUp();
    Poll(100);
    QApplication::setActiveWindow(&form);
    ASSERT_EQ(QApplication::activeWindow(), &form);
    harness.instrument.PressKey();
    Poll(200);
    EXPECT_EQ(form.TableRows().Count(), 1);
    EXPECT_TRUE(harness.keyboard.typed.empty());
    EXPECT_EQ(harness.launcher.started.size(), 1u);

    QApplication::setActiveWindow(nullptr);  // another program has the focus
    harness.instrument.PressKey();
    Poll(200);
    EXPECT_EQ(form.TableRows().Count(), 2);
    EXPECT_EQ(harness.keyboard.typed.size(), 1u);
    EXPECT_EQ(harness.launcher.started.size(), 2u);
}

TEST_F(WindowRunTest, KeyDataSetCanBeSavedAndLocksTheDisplayGroup) {
    harness.WriteSettingsFile("WriteToKeyBuffer=1\nuseSelKeySingleShot=1\n");
    StartUp();
    Poll(100);
    harness.instrument.PressKey();
    Poll(200);
    ASSERT_EQ(form.TableRows().Count(), 1);
    EXPECT_TRUE(form.saveToFile->isEnabled());
    EXPECT_TRUE(form.ButtonExcel->isEnabled());
    EXPECT_FALSE(form.RadioGroupGraficMode->isEnabled());
    EXPECT_FALSE(form.CheckBoxMean->isEnabled());
}

// A file that cannot be opened or is no data-set file is refused before anything is
// cleared.
TEST_F(WindowRunTest, RefusedFileLeavesTheDataSetsAsTheyWere) {
    StartUp();
    for (int shot = 0; shot < 2; ++shot) {
        form.ButtonSingleShot->click();
        Poll(200);
    }
    ASSERT_EQ(form.TableRows().Count(), 2);
    test::WriteBytes(harness.temp.Path() / "notes.txt", "Shopping list\r\n");
    harness.dialogs.openAnswers = {(harness.temp.Path() / "notes.txt").string(),
                                   (harness.temp.Path() / "missing.txt").string()};
    harness.discardAnswers = {DiscardAnswer::Discard, DiscardAnswer::Discard};
    for (const test::ShownMessage& refusal : {test::ShownMessage{"unknown file format", "Error"},
                                              test::ShownMessage{"File not found", "ERROR"}}) {
        SCOPED_TRACE(refusal.text);
        form.loadFromFileClick();
        EXPECT_EQ(harness.messages.Shown().back(), refusal);
        EXPECT_EQ(form.TableRows().Count(), 2);
        EXPECT_EQ(form.Link().MeasData()->GetDataIndex(), 1);
        EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 2u);
        EXPECT_TRUE(form.saveToFile->isEnabled());
        EXPECT_FALSE(form.loadedDataShown);
    }
}

// Data sets recorded since the last save are not thrown away without a question.
TEST_F(WindowRunTest, UnsavedDataSetsAreOfferedForSavingBeforeTheyAreDiscarded) {
    StartUp();
    for (int shot = 0; shot < 2; ++shot) {
        form.ButtonSingleShot->click();
        Poll(200);
    }
    const std::string question = "2 data sets have not been saved. Save them now?";

    form.StartClick();  // Cancel
    EXPECT_EQ(harness.discardQuestions, std::vector<std::string>{question});
    EXPECT_FALSE(form.Link().MeasData()->IsAutoMode());
    EXPECT_EQ(form.TableRows().Count(), 2);

    // Yes, and the save dialog cancelled: the load does not go on.
    harness.discardAnswers = {DiscardAnswer::Save};
    form.loadFromFileClick();
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
    EXPECT_TRUE(harness.dialogs.openOpenedWith.empty());
    EXPECT_EQ(form.TableRows().Count(), 2);

    // Yes and saved: the load goes on (and is cancelled in its dialog); nothing is
    // unsaved any more, so the run starts without a question.
    harness.discardAnswers = {DiscardAnswer::Save};
    harness.dialogs.saveAnswers = {(harness.temp.Path() / "saved.txt").string()};
    form.loadFromFileClick();
    EXPECT_EQ(DataLinesOf(harness.temp.Path() / "saved.txt").size(), 2u);
    EXPECT_EQ(harness.dialogs.openOpenedWith.size(), 1u);
    form.StartClick();
    EXPECT_EQ(harness.discardQuestions.size(), 3u);
    EXPECT_TRUE(form.Link().MeasData()->IsAutoMode());
    Poll(500);
    form.StopClick();
    Poll(0);
    const int recorded = form.Link().MeasData()->GetDataIndex() + 1;
    ASSERT_GT(recorded, 0);

    // The close asks before the link stops: Cancel keeps the window and the link.
    form.close();
    EXPECT_EQ(harness.discardQuestions.back(),
              std::to_string(recorded) + " data sets have not been saved. Save them now?");
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.TimerGetMeas->isActive());
    EXPECT_EQ(harness.windowClosedCalls, 0);
    harness.discardAnswers = {DiscardAnswer::Discard};
    harness.CloseWindow();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(harness.windowClosedCalls, 1);
}

// A data set cleared with "CLR LAST MEASUREMENT" is no longer waiting to be saved.
TEST_F(WindowRunTest, ClearedDataSetsAreNoLongerCountedAsUnsaved) {
    StartUp();
    const auto takeShots = [&](int count) {
        for (int shot = 0; shot < count; ++shot) {
            form.ButtonSingleShot->click();
            Poll(200);
        }
    };
    takeShots(2);
    harness.dialogs.saveAnswers = {(harness.temp.Path() / "saved.txt").string()};
    form.saveToFileClick();
    takeShots(3);
    form.ClrLastClick();
    form.ClrLastClick();
    form.StartClick();  // Cancel
    EXPECT_EQ(harness.discardQuestions,
              std::vector<std::string>{"1 data sets have not been saved. Save them now?"});

    // Clearing the unsaved one and then a saved one leaves nothing to ask about.
    form.ClrLastClick();
    form.ClrLastClick();
    EXPECT_EQ(form.TableRows().Count(), 1);
    form.StartClick();
    EXPECT_EQ(harness.discardQuestions.size(), 1u);
    EXPECT_TRUE(form.Link().MeasData()->IsAutoMode());
}

// A data set taken with the instrument's key joins a loaded file in the table; the
// single shot that clears the file asks before it takes that data set with it.
TEST_F(WindowRunTest, KeyDataSetAfterALoadIsNotClearedWithoutAQuestion) {
    harness.WriteSettingsFile("WriteToKeyBuffer=1\nuseSelKeySingleShot=1\n");
    StartUp();
    LoadOneDataSet();
    Poll(100);
    harness.instrument.PressKey();
    Poll(200);
    const int rows = form.TableRows().Count();

    form.ButtonSingleShotClick();  // Cancel
    EXPECT_EQ(harness.discardQuestions,
              std::vector<std::string>{"1 data sets have not been saved. Save them now?"});
    EXPECT_EQ(form.TableRows().Count(), rows);
    EXPECT_TRUE(form.loadedDataShown);

    harness.discardAnswers = {DiscardAnswer::Save};
    harness.dialogs.saveAnswers = {(harness.temp.Path() / "with-key.txt").string()};
    form.ButtonSingleShotClick();
    EXPECT_EQ(DataLinesOf(harness.temp.Path() / "with-key.txt").size(), 2u);
    Poll(200);
    EXPECT_FALSE(form.loadedDataShown);
    EXPECT_EQ(form.TableRows().Count(), 1);
}

TEST_F(WindowRunTest, ConfirmDiscardOffDiscardsWithoutAQuestion) {
    harness.WriteSettingsFile("ConfirmDiscard=0\n");
    StartUp();
    form.ButtonSingleShot->click();
    Poll(200);
    form.StartClick();
    EXPECT_TRUE(harness.discardQuestions.empty());
    EXPECT_TRUE(form.Link().MeasData()->IsAutoMode());
    EXPECT_EQ(form.TableRows().Count(), 0);
}

// A box left open when the window closes: closing the window ends the program, and
// the box's follow-up (the save after a data error) does not run on the closed window.
TEST_F(WindowRunTest, NoBoxFollowUpRunsAfterTheWindowHasClosed) {
    harness.WriteSettingsFile("ConfirmDiscard=0\n");
    StartUp();
    harness.instrument.StallCommands(true);
    form.ZeroClick();
    QApplication::processEvents();
    ASSERT_EQ(harness.messages.Shown().size(), 1u);
    harness.CloseWindow();
    EXPECT_EQ(harness.windowClosedCalls, 1);
    harness.messages.CloseAll();
    EXPECT_TRUE(harness.dialogs.saveOpenedWith.empty());
}

// A setting changed in the window takes effect although the settings file cannot
// take it; the failure is reported.
TEST_F(WindowRunTest, SettingsTakeEffectWhenTheyCannotBeStored) {
    StartUp();
    TMeasData& meas = *form.Link().MeasData();
    harness.folders.applicationData.reset();  // "Path to AppData not found"
    form.ComboBoxSampleRateChange(0);
    EXPECT_EQ(meas.samplesPerValue, 1);
    EXPECT_EQ(harness.settings.SampleRate, 0);
    form.CheckBoxAutoClrPeak->click();
    EXPECT_TRUE(harness.settings.ClrPeakAfterSingleShot);
    form.CheckBoxToKeyBuf->setChecked(true);
    EXPECT_TRUE(harness.settings.WriteToKeyBuffer);
    EXPECT_TRUE(harness.settings.useSelKeySingleShot);
    EXPECT_EQ(harness.messages.Shown().size(), 3u);

    // A settings file that cannot be read: the error goes to the error report.
    harness.folders.applicationData = harness.temp.Path() / "config";
    const auto file = harness.temp.Path() / "config/Kelvorn/SoftwareVX212/418config.ini";
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_THROW(form.ComboBoxSampleRateChange(9), ProgramError);
    EXPECT_EQ(meas.samplesPerValue, 1000);
}

}  // namespace
}  // namespace vx
