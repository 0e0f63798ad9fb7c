#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "base/ProgramError.h"
#include "datasets/DataSetFileFixture.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileReader.h"
#include "datasets/DataSetFileSave.h"
#include "datasets/DataSetTable.h"
#include "measurement/ValueFormat.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

using test::kExampleFile;

constexpr std::array<bool, kSeriesCount> kAllSeries = {true, true, true, true, true};
constexpr std::array<bool, kSeriesCount> kMeanOnly = {true, false, false, false, false};

const std::string kHeader =
    "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
    "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n";

std::string DataLine(const std::string& number, const std::string& time,
                     const std::string& value = "12,35", const std::string& date = "08.12.2026",
                     const std::string& ms = "250") {
    return number + "\t" + date + "\t" + time + "\t" + ms + "\t " + value +
           "\t 1,00\t 2,00\t 3,00\t 4,00\r\n";
}

LocaleFormat GermanFormats() {
    return {"%d.%m.%Y", "%H:%M:%S", ",", nullptr};
}

class DataSetFileReaderTest : public ::testing::Test {
  protected:
    void Prepare(int mode, std::array<bool, kSeriesCount> shown) {
        chart.InitSeriesType(mode);
        options.graficMode = mode;
        options.shownSeries = shown;
    }

    std::optional<FileMessage> Load(const std::string& bytes) {
        test::WriteBytes(path, bytes);
        return LoadPath(path.string());
    }
    std::optional<FileMessage> LoadPath(const std::string& name) {
        return LoadDataSetFile(name, {rows, chart, &m.meas, loadedDataShown}, options);
    }
    // The message a load that must fail with a conversion error reports.
    std::string ConversionError(const std::string& bytes) {
        try {
            Load(bytes);
        } catch (const ProgramError& error) {
            return error.what();
        }
        return "no error";
    }
    const std::vector<ChartPoint>& Points(SeriesRole role) { return chart.Series(role)->Points(); }

    test::MeasFixture m;
    DataSetRows rows;
    ChartModel chart;
    bool loadedDataShown = false;
    DataSetLoadOptions options{modeNumber, kAllSeries, GermanFormats(), ","};
    test::TempFolder folder;
    std::filesystem::path path = folder.Path() / "data.txt";
};

// The same data sets listed by the table while recording, written, and read back.
TEST_F(DataSetFileReaderTest, RoundTripInEachDisplayMode) {
    constexpr int kCount = 40;
    // The table converts with the process's separator, so the values use it.
    const std::string separator(ProcessDecimalSeparator());
    options.decimalSeparator = separator;
    const int64_t startMs = DateTimeToMilliseconds(46364.0) + 14 * 3600000LL;
    for (int mode : {modeNumber, modeTime, modeTimeLines}) {
        SCOPED_TRACE(mode);
        test::MeasFixture written;
        DataSetRows listedRows;
        ChartModel listedChart;
        listedChart.InitSeriesType(mode);
        DataSetTable table(listedRows, listedChart, written.messages, [] { return kAllSeries; });
        for (int i = 0; i < kCount; ++i) {
            const double stamp = MillisecondsToDateTime(startMs + i * 1237);
            const std::string v =
                (i % 2 ? "-" : " ") + std::to_string(i) + separator + "5" + std::to_string(i % 10);
            test::StoreTexts(
                written.meas, i,
                {FormatDateText(options.locale, stamp), FormatTimeText(options.locale, stamp),
                 std::to_string(1000 + i * 1237 % 1000).substr(1), v, v, " " + v, v, v},
                stamp);
            written.meas.dataIndex = i;
            table.AddDataLine(written.meas, i, i, mode);
        }
        table.BuildHeader("N", mode);
        std::vector<std::string> lines;
        BuildDataLines(lines, listedRows.Captions(), 100, &written.meas);
        ASSERT_EQ(SaveDataLines(path.string(), lines), std::nullopt);

        test::MeasFixture loaded;
        rows.Clear();
        Prepare(mode, kAllSeries);
        ASSERT_EQ(
            LoadDataSetFile(path.string(), {rows, chart, &loaded.meas, loadedDataShown}, options),
            std::nullopt);

        EXPECT_EQ(loaded.meas.GetDataIndex(), kCount - 1);
        EXPECT_FALSE(loaded.meas.IsDataWrapped());
        ASSERT_EQ(rows.Count(), kCount + 1);
        EXPECT_EQ(rows.Row(kCount), TableRow{});
        for (int i = 0; i < kCount; ++i) {
            TableRow expected = listedRows.Row(i);
            for (int c = 4; c < kTableColumns; ++c) {
                expected[c].erase(0, expected[c].find_first_not_of(' '));
            }
            EXPECT_EQ(rows.Row(i), expected);
            EXPECT_EQ(test::TextsAt(loaded.meas, i),
                      (test::StoredTexts{expected[1], expected[2], expected[3], expected[4],
                                         expected[5], expected[6], expected[7], expected[8]}));
        }
        for (int k = 0; k < kSeriesCount; ++k) {
            const auto role = static_cast<SeriesRole>(k);
            const auto& want = listedChart.Series(role)->Points();
            const auto& got = Points(role);
            ASSERT_EQ(got.size(), want.size());
            for (size_t p = 0; p < got.size(); ++p) {
                EXPECT_NEAR(got[p].x, want[p].x, 1e-6);
                EXPECT_EQ(got[p].y, want[p].y);
            }
            EXPECT_EQ(chart.Series(role)->Kind(), listedChart.Series(role)->Kind());
        }
        EXPECT_TRUE(loadedDataShown);
    }
}

TEST_F(DataSetFileReaderTest, FullWrappedStoreLoadsInChronologicalOrder) {
    test::MeasFixture written;
    for (int i = 0; i < written.meas.GetDataListSize(); ++i) {
        test::StoreTexts(written.meas, i,
                         {"08.12.2026", "14:03:27", std::to_string(i), " 1,00", " 1,00", " 1,00",
                          " 1,00", " 1,00"});
    }
    written.meas.dataIndex = 5;
    written.meas.dataWrapped = true;
    std::vector<std::string> lines;
    BuildDataLines(lines, test::kCaptionsN, 100, &written.meas);
    ASSERT_EQ(SaveDataLines(path.string(), lines), std::nullopt);

    Prepare(modeTime, kMeanOnly);
    ASSERT_EQ(LoadPath(path.string()), std::nullopt);
    EXPECT_EQ(m.meas.GetDataIndex(), 10239);
    EXPECT_EQ(rows.Count(), 10241);
    EXPECT_EQ(m.meas.GetMsText(0), "6");
    EXPECT_EQ(m.meas.GetMsText(10233), "10239");
    EXPECT_EQ(m.meas.GetMsText(10234), "0");
    EXPECT_EQ(m.meas.GetMsText(10239), "5");
    EXPECT_EQ(Points(SeriesValue).size(), 10240u);
}

TEST_F(DataSetFileReaderTest, DocumentedExample) {
    struct Case {
        int mode;
        std::string separator;
        std::vector<ChartPoint> points;
    };
    const std::vector<Case> cases = {
        {modeTime, ",", {{0, 12.35}, {4.625, 25.4}}},
        {modeTimeLines, ".", {{0, 12.35}, {4.625, 25.4}}},
        {modeNumber, ",", {{1, 12.35}, {2, 25.4}}},
        {modeNumber, ".", {{1, 12.35}, {2, 25.4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.separator);
        rows.Clear();
        m.meas.ClearDataIndex();
        Prepare(c.mode, kMeanOnly);
        options.decimalSeparator = c.separator;

        ASSERT_EQ(Load(kExampleFile), std::nullopt);
        EXPECT_EQ(Points(SeriesValue), c.points);
        for (SeriesRole other : {SeriesMin, SeriesMax, SeriesMinAvr, SeriesMaxAvr}) {
            EXPECT_EQ(chart.Series(other)->Count(), 0u);
        }
    }
    EXPECT_EQ(rows.Captions(), (std::array<std::string, kTableColumns>{
                                   "Number", "[Date]", "[Time]", "[Diff]=ms", "[Value]=N",
                                   "[Min]=N", "[Max]=N", "[MinFilt]=N", "[MaxFilt]=N"}));
    EXPECT_EQ(chart.LeftAxisTitle(), "[Value]=N");
    ASSERT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Row(0), (TableRow{"1", "08.12.2026", "14:03:27", "250", "12,35", "11,98",
                                     "12,71", "12,10", "12,52"}));
    EXPECT_EQ(rows.Row(2), TableRow{});
    EXPECT_EQ(test::TextsAt(m.meas, 1), (test::StoredTexts{"08.12.2026", "14:03:31", "875", "25,40",
                                                           "11,98", "25,77", "12,10", "25,49"}));
    EXPECT_EQ(m.meas.GetDataIndex(), 1);
}

TEST_F(DataSetFileReaderTest, FilesThatAreNotReadAtAll) {
    std::filesystem::create_directories(folder.Path() / "dir");
    const FileMessage unknown{"unknown file format", "Error"};
    const FileMessage notFound{"File not found", "ERROR"};
    struct Case {
        std::string name;
        std::optional<std::string> bytes;  // none: the path is used as it is
        FileMessage message;
    };
    const std::vector<Case> cases = {
        {"empty", "", unknown},
        {"lower case", "number\t[Date]\r\n1\t", unknown},
        {"longer word", "Numbers\t[Date]\r\n", unknown},
        {"blanks only", " \r\n\t", unknown},
        {"long first word", std::string(1500, 'N'), unknown},
        {(folder.Path() / "missing.txt").string(), std::nullopt, notFound},
        {(folder.Path() / "dir").string(), std::nullopt, notFound},
        // Its first page is not mapped: the read fails with EIO.
        {"/proc/self/mem",
         std::nullopt,
         {"The file /proc/self/mem could not be read: Input/output error", "Error"}},
    };
    Prepare(modeNumber, kAllSeries);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.bytes ? Load(*c.bytes) : LoadPath(c.name), c.message);
        EXPECT_EQ(rows.Count(), 0);
        EXPECT_EQ(m.meas.GetDataIndex(), -1);
        EXPECT_FALSE(loadedDataShown);
    }
}

TEST_F(DataSetFileReaderTest, HeaderOnly) {
    Prepare(modeNumber, kAllSeries);
    EXPECT_EQ(Load(kHeader), std::nullopt);
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(rows.Row(0), TableRow{});
    EXPECT_EQ(m.meas.GetDataIndex(), -1);
    EXPECT_TRUE(loadedDataShown);

    // Ending inside the header: the words there are empty, and no data line follows.
    rows.Clear();
    loadedDataShown = false;
    EXPECT_EQ(Load("Number\t[Date]"), std::nullopt);
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_EQ(rows.Captions()[1], "[Date]");
    EXPECT_EQ(rows.Captions()[4], "");
    EXPECT_FALSE(loadedDataShown);
}

TEST_F(DataSetFileReaderTest, EightBitTextsDecoded) {
    Prepare(modeNumber, kMeanOnly);
    const std::string bytes =
        "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = \xB5m\t[Min] = \xB5m\t"
        "[Max] = \xB5m\t[MinFilt] = \xB5m\t[MaxFilt] = \xB5m\t(100ms)\r\n" +
        DataLine("1", "14:03:27", "12,35",
                 "8 d\xE9"
                 "c. 2026");
    EXPECT_EQ(Load(bytes), std::nullopt);
    EXPECT_EQ(rows.Captions()[4], "[Value]=µm");
    EXPECT_EQ(chart.LeftAxisTitle(), "[Value]=µm");
    EXPECT_EQ(rows.Row(0)[1], "8 déc. 2026");
    EXPECT_EQ(m.meas.GetDateText(0), "8 déc. 2026");
}

TEST_F(DataSetFileReaderTest, ShortTimeTextAndStoreInRowOrder) {
    Prepare(modeTime, kMeanOnly);
    EXPECT_EQ(Load(kHeader + DataLine("5", "9:05:07") + DataLine("6", "14:03:31")), std::nullopt);
    EXPECT_EQ(m.meas.GetTimeText(0), "9:05:07");
    EXPECT_EQ(rows.Row(0)[2], "9:05:07");
    EXPECT_EQ(m.meas.GetTimeText(1), "14:03:31");
    // The short line has no point and does not set the time origin.
    EXPECT_EQ(Points(SeriesValue), (std::vector<ChartPoint>{{0, 12.35}}));

    // The store follows the rows whatever the numbers are (0, a gap, falling); the
    // chart places the points at the numbers.
    rows.Clear();
    m.meas.ClearDataIndex();
    Prepare(modeNumber, kMeanOnly);
    EXPECT_EQ(Load(kHeader + DataLine("0", "14:00:00", "1,00") + DataLine("4", "14:00:01", "2,00") +
                   DataLine("2", "14:00:02", "3,00")),
              std::nullopt);
    EXPECT_EQ(m.meas.GetValueText(0), "1,00");
    EXPECT_EQ(m.meas.GetValueText(1), "2,00");
    EXPECT_EQ(m.meas.GetValueText(2), "3,00");
    EXPECT_EQ(m.meas.GetDataIndex(), 2);
    EXPECT_EQ(Points(SeriesValue), (std::vector<ChartPoint>{{0, 1}, {2, 3}, {4, 2}}));
}

TEST_F(DataSetFileReaderTest, ConversionErrorsEndTheLoadAndKeepWhatWasRead) {
    struct Case {
        std::string name;
        int mode;
        std::string secondLine;
        std::string error;  // "no error": the load completes
        int newestIndex;
    };
    const std::string good = DataLine("2", "14:03:31");
    const std::vector<Case> cases = {
        {"number", modeNumber, DataLine("2x", "14:03:31"), "'2x' is not a valid integer value", 0},
        {"checked value", modeNumber, DataLine("2", "14:03:31", "abc"),
         "'abc' is not a valid floating point value", 1},
        {"unchecked value", modeNumber,
         "2\t08.12.2026\t14:03:31\t250\t 1,00\t abc\t abc\t abc\t abc\r\n", "no error", 2},
        {"date, time mode", modeTime, DataLine("2", "14:03:31", "1,00", "32.13.2026"),
         "'32.13.2026 14:03:31' is not a valid date and time", 1},
        {"date, number mode", modeNumber, DataLine("2", "14:03:31", "1,00", "32.13.2026"),
         "no error", 2},
        {"date, short time", modeTime, DataLine("2", "9:05:07", "1,00", "32.13.2026"), "no error",
         2},
        {"ms, time mode", modeTimeLines, DataLine("2", "14:03:31", "1,00", "08.12.2026", "8x5"),
         "'8x5' is not a valid integer value", 1},
        {"ms, number mode", modeNumber, DataLine("2", "14:03:31", "1,00", "08.12.2026", "8x5"),
         "no error", 2},
        // A hand-edited plus sign is a number's sign.
        {"plus sign", modeNumber, DataLine("2", "14:03:31", "+12,35"), "no error", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rows.Clear();
        m.meas.ClearDataIndex();
        Prepare(c.mode, kMeanOnly);
        EXPECT_EQ(ConversionError(kHeader + DataLine("1", "14:03:27") + c.secondLine + good),
                  c.error);
        EXPECT_EQ(m.meas.GetDataIndex(), c.newestIndex);
        EXPECT_EQ(m.meas.GetValueText(0), "12,35");
        EXPECT_EQ(rows.Row(0)[4], "12,35");
        EXPECT_EQ(rows.Row(1)[0], c.secondLine.substr(0, c.secondLine.find('\t')));
        EXPECT_EQ(rows.Count(), c.error == "no error" ? 4 : 2);
    }
}

// A file saved after a load has the compact 10-word header: its words shift into the
// first data line, as the reader takes them.
TEST_F(DataSetFileReaderTest, CompactHeaderShiftsTheWords) {
    Prepare(modeTime, kAllSeries);
    const std::string compact =
        "Number\t[Date]\t[Time]\t[Diff]=ms\t[Value]=N\t[Min]=N\t[Max]=N\t[MinFilt]=N\t"
        "[MaxFilt]=N\t(100ms)\r\n" +
        kExampleFile.substr(kExampleFile.find("\r\n") + 2);
    ASSERT_EQ(Load(compact), std::nullopt);
    EXPECT_EQ(rows.Captions()[3], "[Diff]=ms[Value]=N[Min]=N");
    EXPECT_EQ(rows.Captions()[8],
              "12,522"
              "08.12.2026");
    ASSERT_EQ(rows.Count(), 1);
    EXPECT_EQ(rows.Row(0),
              (TableRow{"875", " 25,40", " 11,98", "25,77", "12,10", "25,49", "", "", ""}));
    EXPECT_EQ(m.meas.GetDataIndex(), 0);
    EXPECT_EQ(Points(SeriesValue).size(), 0u);  // its time text is too short
}

TEST_F(DataSetFileReaderTest, HostileFilesStopWithAMessage) {
    std::string manyLines = kHeader;
    std::string allNumberOne = kHeader;
    for (int i = 1; i <= 20000; ++i) {
        manyLines += DataLine(std::to_string(i), "14:03:27");
        if (i <= 10241) {
            allNumberOne += DataLine("1", "14:03:27");
        }
    }
    const std::string storeFull =
        ": the store holds no more than 10240 data sets; the file cannot be read further";
    std::string garbage = "Number\t";
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage += static_cast<char>(seed >> 24);
    }
    const auto lineMessage = [&](int line, const std::string& what) {
        return FileMessage{"Line " + std::to_string(line) + " of the file " + path.string() + what,
                           "Error"};
    };
    const std::string wordLimit =
        " holds a word of 1000 or more characters: the file cannot be read further";
    const std::string fieldLimit =
        " holds a date or time field of 49 or more characters: the file cannot be read further";
    struct Case {
        std::string name;
        std::string bytes;
        std::optional<FileMessage> message;
        int newestIndex;
    };
    const std::vector<Case> cases = {
        {"5000-character date field",
         kHeader + DataLine("1", "14:03:27") + "2\t" + std::string(5000, 'x'),
         lineMessage(3, fieldLimit), 0},
        {"5000-character value word", kHeader + DataLine("1", "14:03:27", std::string(5000, '1')),
         lineMessage(2, wordLimit), -1},
        {"line without TABs",
         kHeader + "1 08.12.2026 14:03:27 250 1,00 1,00 1,00 1,00 1,00\r\n" +
             DataLine("2", "14:03:28"),
         lineMessage(2, fieldLimit), -1},
        {"20000 data lines", manyLines, lineMessage(10242, storeFull), 10239},
        {"10241 data lines all numbered 1", allNumberOne, lineMessage(10242, storeFull), 10239},
        {"falling numbers", kHeader + DataLine("7", "14:03:27") + DataLine("6", "14:03:28"),
         std::nullopt, 1},
        {"gap beyond the store",
         kHeader + DataLine("1", "14:03:27") + DataLine("10241", "14:03:28"), std::nullopt, 1},
    };
    Prepare(modeTime, kAllSeries);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rows.Clear();
        m.meas.ClearDataIndex();
        EXPECT_EQ(Load(c.bytes), c.message);
        EXPECT_EQ(m.meas.GetDataIndex(), c.newestIndex);
        EXPECT_LE(rows.Count(), 10241);  // the data sets and at most one row more
    }
    // Garbage ends one way or another, never outside the store.
    rows.Clear();
    m.meas.ClearDataIndex();
    ConversionError(garbage);
    EXPECT_LE(m.meas.GetDataIndex(), 10239);
    EXPECT_GE(rows.Count(), 1);
}

TEST_F(DataSetFileReaderTest, WithoutMeasurementObjectOrSeriesOnlyTheTable) {
    options.graficMode = modeTime;
    ASSERT_FALSE(chart.HasSeries());
    EXPECT_EQ(LoadDataSetFile(path.string(), {rows, chart, nullptr, loadedDataShown}, options),
              FileMessage({"File not found", "ERROR"}));
    test::WriteBytes(path, kExampleFile);
    EXPECT_EQ(LoadDataSetFile(path.string(), {rows, chart, nullptr, loadedDataShown}, options),
              std::nullopt);
    EXPECT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.Row(1)[4], "25,40");
    EXPECT_FALSE(chart.HasSeries());
}

}  // namespace
}  // namespace vx
