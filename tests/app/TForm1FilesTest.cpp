// Saving data sets from the window and loading them back, through the dialog seam.
#include <gtest/gtest.h>

#include <QEventLoop>

#include <sys/stat.h>

#include <sstream>
#include <utility>

#include "app/GuiTestSupport.h"
#include "base/ProgramError.h"

namespace vx {
namespace {

using namespace std::chrono_literals;

class WindowFilesTest : public ::testing::Test {
  protected:
    WindowFilesTest() { form.show(); }

    // Start-up without an instrument, then two data sets in the store as if measured.
    void StartWithTwoDataSets() {
        harness.instrument.SetAbsent(true);
        form.FormShow();
        TMeasData& meas = *form.Link().MeasData();
        meas.dataList[0] = {" 12.35", " 11.98",   " 12.71",     " 12.10", " 12.52",
                            "1",      "14:03:27", "08.12.2026", "250",    0};
        meas.dataList[1] = {" 25.40", " 11.98",   " 25.77",     " 12.10", " 25.49",
                            "1",      "14:03:31", "08.12.2026", "875",    0};
        meas.dataIndex = 1;
        TableRows().SetCaptions(4, {"[Value] = N"});
    }
    DataSetRows& TableRows() { return form.TableRows(); }
    std::string File(const char* name) const { return (harness.temp.Path() / name).string(); }
    std::string Status() const { return form.ErrorString->text().toStdString(); }

    test::WindowHarness harness;
    TForm1& form = harness.form;
};

TEST_F(WindowFilesTest, SaveWritesTheStoreAndRemembersTheName) {
    StartWithTwoDataSets();
    harness.dialogs.saveAnswers = {File("run.txt"), File("run.txt")};
    form.saveToFileClick();
    const std::string bytes = test::ReadBytes(File("run.txt"));
    EXPECT_EQ(bytes,
              "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = ?\t[Max] = ?\t"
              "[MinAvr] = ?\t[MaxAvr] = ?\t(100ms)\r\n"
              "1\t08.12.2026\t14:03:27\t250\t 12.35\t 11.98\t 12.71\t 12.10\t 12.52\r\n"
              "2\t08.12.2026\t14:03:31\t875\t 25.40\t 11.98\t 25.77\t 12.10\t 25.49\r\n");
    form.saveToFileClick();  // replaced without a question
    EXPECT_EQ(harness.dialogs.saveOpenedWith, (std::vector<std::string>{"", File("run.txt")}));
    EXPECT_TRUE(harness.messages.Shown().empty());
}

TEST_F(WindowFilesTest, SaveWithoutDataSetsOrWithCancelWritesNothing) {
    harness.instrument.SetAbsent(true);
    form.FormShow();
    form.saveToFileClick();  // cancelled
    harness.dialogs.saveAnswers = {File("empty.txt")};
    form.saveToFileClick();
    EXPECT_FALSE(std::filesystem::exists(File("empty.txt")));
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{"No valid data sets available", "Error"}}));
}

TEST_F(WindowFilesTest, FailedSaveNamesTheFile) {
    StartWithTwoDataSets();
    std::filesystem::create_directories(File("folder.txt"));
    harness.dialogs.saveAnswers = {File("folder.txt")};
    form.saveToFileClick();
    ASSERT_EQ(harness.messages.Shown().size(), 1u);
    EXPECT_NE(harness.messages.Shown()[0].text.find(File("folder.txt")), std::string::npos);
}

TEST_F(WindowFilesTest, LoadBringsASavedFileBackIntoTableStoreAndChart) {
    StartWithTwoDataSets();
    harness.dialogs.saveAnswers = {File("run.txt")};
    form.saveToFileClick();
    form.ClrAllClick();

    harness.dialogs.openAnswers = {File("run.txt")};
    form.loadFromFileClick();
    EXPECT_EQ(Status(), "");
    ASSERT_EQ(TableRows().Count(), 3);          // two data sets and the row of the final line end
    EXPECT_EQ(TableRows().Row(1)[4], "25.40");  // a word read skips the leading blank
    EXPECT_EQ(TableRows().Captions()[4], "[Value]=N");
    EXPECT_EQ(form.Chart().LeftAxisTitle(), "[Value]=N");
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Points(),
              (std::vector<ChartPoint>{{1, 12.35}, {2, 25.4}}));
    EXPECT_FALSE(form.RadioGroupGraficMode->isEnabled());
    EXPECT_TRUE(form.ButtonExcel->isEnabled());
    EXPECT_FALSE(form.saveToFile->isEnabled());
    EXPECT_TRUE(form.loadedDataShown);
    EXPECT_EQ(harness.dialogs.openOpenedWith, std::vector<std::string>{""});

    // The first single shot after a load clears what was loaded (without an instrument
    // that is all it does).
    form.ButtonSingleShotClick();
    EXPECT_FALSE(form.loadedDataShown);
    EXPECT_EQ(TableRows().Count(), 0);
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 0u);
}

TEST_F(WindowFilesTest, LoadFailuresLeaveTheClearedWindowAndAnEmptyStatus) {
    StartWithTwoDataSets();
    test::WriteBytes(File("other.txt"), "Nummer\t[Date]\r\n");
    harness.dialogs.openAnswers = {File("missing.txt"), File("other.txt")};
    form.loadFromFileClick();
    form.loadFromFileClick();
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{"File not found", "ERROR"},
                                               {"unknown file format", "Error"}}));
    EXPECT_EQ(TableRows().Count(), 0);
    EXPECT_EQ(Status(), "");

    form.loadFromFileClick();  // cancelled: nothing cleared, status cleared again
    EXPECT_EQ(Status(), "");
}

TEST_F(WindowFilesTest, ConversionErrorEndsTheLoadKeepingWhatWasRead) {
    StartWithTwoDataSets();
    test::WriteBytes(File("bad.txt"),
                     "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
                     "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n"
                     "1\t08.12.2026\t14:03:27\t250\t 12.35\t 1\t 2\t 3\t 4\r\n"
                     "x2\t08.12.2026\t14:03:28\t250\t 12.35\t 1\t 2\t 3\t 4\r\n");
    harness.dialogs.openAnswers = {File("bad.txt")};
    EXPECT_THROW(form.loadFromFileClick(), ProgramError);
    EXPECT_EQ(Status(), "");
    EXPECT_GE(TableRows().Count(), 2);
    EXPECT_EQ(TableRows().Row(0)[4], "12.35");
    EXPECT_TRUE(form.RadioGroupGraficMode->isEnabled());  // the steps after the lines did not run
}

// A FIFO would block the open until someone writes to it, a device could feed the
// reader for ever: only a regular file is loaded.
TEST_F(WindowFilesTest, LoadOfAnythingButARegularFileIsRefusedAtOnce) {
    StartWithTwoDataSets();
    const std::string fifo = File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(File("folder"));
    harness.dialogs.openAnswers = {fifo, "/dev/zero", File("folder")};
    for (int load = 0; load < 3; ++load) {
        form.loadFromFileClick();
    }
    const test::ShownMessage notFound{"File not found", "ERROR"};
    EXPECT_EQ(harness.messages.Shown(), (std::vector{notFound, notFound, notFound}));
    EXPECT_EQ(Status(), "");
}

std::string DataFile(const std::vector<std::pair<int, const char*>>& numberedValues) {
    std::string bytes =
        "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
        "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n";
    for (const auto& [number, value] : numberedValues) {
        bytes += std::to_string(number) + "\t08.12.2026\t14:03:27\t250\t" + value +
                 "\t 1,00\t 2,00\t 3,00\t 4,00\r\n";
    }
    return bytes;
}

// Lines that all carry number 1 used to make a table row each, beyond any limit.
TEST_F(WindowFilesTest, LoadStopsAtTheStoreSizeWhateverTheNumbersSay) {
    StartWithTwoDataSets();
    const std::vector<std::pair<int, const char*>> lines(10300, {1, " 5,00"});
    test::WriteBytes(File("ones.txt"), DataFile(lines));
    harness.dialogs.openAnswers = {File("ones.txt")};
    form.loadFromFileClick();
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{
                  {"Line 10242 of the file " + File("ones.txt") +
                       ": the store holds no more than 10240 data sets; the file cannot be read "
                       "further",
                   "Error"}}));
    EXPECT_LE(TableRows().Count(), 10241);
    EXPECT_EQ(form.Link().MeasData()->GetDataIndex(), 10239);
}

// Without an instrument the store used to keep what an earlier load left beyond the
// new file's data sets, and a file with gaps saved a stale data set and lost one.
TEST_F(WindowFilesTest, WhatIsSavedAfterALoadIsExactlyWhatTheTableShows) {
    StartWithTwoDataSets();
    test::WriteBytes(
        File("five.txt"),
        DataFile({{1, " 1,00"}, {2, " 2,00"}, {3, " 3,00"}, {4, " 4,00"}, {5, " 5,00"}}));
    test::WriteBytes(File("two.txt"), DataFile({{1, " 7,00"}, {2, " 8,00"}}));
    test::WriteBytes(File("gaps.txt"), DataFile({{1, " 7,00"}, {2, " 8,00"}, {4, " 9,00"}}));
    harness.dialogs.openAnswers = {File("five.txt"), File("two.txt"), File("five.txt"),
                                   File("gaps.txt")};
    harness.dialogs.saveAnswers = {File("saved-two.txt"), File("saved-gaps.txt")};
    const auto savedValues = [this](const char* name) {
        std::vector<std::string> values;
        std::istringstream lines(test::ReadBytes(File(name)));
        std::string line;
        std::getline(lines, line);  // the header
        while (std::getline(lines, line)) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, '\t');) {
                fields.push_back(field);
            }
            values.push_back(fields.at(0) + ":" + fields.at(4));
        }
        return values;
    };
    form.loadFromFileClick();
    form.loadFromFileClick();
    form.saveToFileClick();
    EXPECT_EQ(savedValues("saved-two.txt"), (std::vector<std::string>{"1:7,00", "2:8,00"}));
    form.loadFromFileClick();
    form.loadFromFileClick();
    form.saveToFileClick();
    EXPECT_EQ(savedValues("saved-gaps.txt"),
              (std::vector<std::string>{"1:7,00", "2:8,00", "3:9,00"}));
    ASSERT_EQ(TableRows().Count(), 4);
    EXPECT_EQ(TableRows().Row(2)[0], "4");
    EXPECT_EQ(TableRows().Row(2)[4], "9,00");
    EXPECT_TRUE(harness.messages.Shown().empty());
}

TEST_F(WindowFilesTest, StreamDataErrorSavesThenEndsTheProgramWithCodeZero) {
    form.FormShow();
    for (int tick = 0; tick < 200 && !form.Link().MeasData()->IsInitDone(); ++tick) {
        harness.timers.Tick();
        ASSERT_TRUE(harness.instrument.WaitForIdleReader(10s));
        QApplication::processEvents();  // the decoded replies, handed over
    }
    harness.instrument.StallStream(true);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    // The measuring thread reports the time-out; its message reaches the window queued.
    while (harness.messages.Shown().empty()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        harness.instrument.AdvanceClock(100ms);
        QApplication::processEvents();
    }
    ASSERT_EQ(harness.messages.Shown().size(), 1u);
    EXPECT_EQ(harness.messages.Shown()[0],
              (test::ShownMessage{"Data error, save data and repower device", "WARNING"}));
    // Confirming the box saves (the dialog is cancelled here), then the program ends.
    QTimer::singleShot(0, [this] { harness.messages.CloseAll(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });  // no hang if it fails
    QEventLoop loop;
    EXPECT_EQ(loop.exec(), 0);
    EXPECT_EQ(harness.dialogs.saveOpenedWith.size(), 1u);
}

}  // namespace
}  // namespace vx
