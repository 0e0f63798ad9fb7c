#include <gtest/gtest.h>

#include "base/ManualTimer.h"
#include "datasets/DataSetTable.h"
#include "device/CommandProtocol.h"
#include "support/LinkParts.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

class DataSetTableTest : public ::testing::Test, protected test::LinkParts {
  protected:
    // Stores a data set whose texts carry the value v, taken `seconds` after 1 Jan 2026.
    void Store(int index, const std::string& v, double seconds) {
        meas.dataIndex = index;
        tDataListArray& r = meas.dataList[index];
        r = {v, v, v, v, v, "7", "10:00:00", "01.01.2026", "250", 46023.0 + seconds * kSecond};
    }

    TMeasData meas{1, protocol, usb, timers};
    DataSetRows rows;
    ChartModel chart;
    std::array<bool, kSeriesCount> shown = {true, true, false, false, false};
    DataSetTable table{rows, chart, messages, [this] { return shown; }};
};

TEST_F(DataSetTableTest, RowsAndPointsByDisplayMode) {
    for (int mode : {modeNumber, modeTime, modeTimeLines}) {
        SCOPED_TRACE(mode);
        chart.InitSeriesType(mode);
        rows.Clear();
        Store(0, " 12.50", 100.0);
        Store(1, " 13.00", 101.5);
        table.AddDataLine(meas, 0, 0, mode);
        table.AddDataLine(meas, 1, 1, mode);

        ASSERT_EQ(rows.Count(), 2);
        EXPECT_EQ(rows.Row(0), (TableRow{"1", "01.01.2026", "10:00:00", "250", " 12.50", " 12.50",
                                         " 12.50", " 12.50", " 12.50"}));
        EXPECT_EQ(rows.Row(1)[0], "2");
        const auto& points = chart.Series(SeriesValue)->Points();
        ASSERT_EQ(points.size(), 2u);
        if (mode == modeNumber) {
            EXPECT_EQ(points[0], (ChartPoint{1, 12.5}));
            EXPECT_EQ(points[1], (ChartPoint{2, 13.0}));
        } else {
            EXPECT_EQ(points[0], (ChartPoint{0, 12.5}));
            EXPECT_NEAR(points[1].x, 1.5, 1e-6);
        }
        EXPECT_EQ(chart.Series(SeriesMin)->Count(), 2u);
        EXPECT_EQ(chart.Series(SeriesMax)->Count(), 0u);  // its box was off
    }
}

TEST_F(DataSetTableTest, RecordIndexOutOfRangeListsRecordZero) {
    chart.InitSeriesType(modeNumber);
    Store(0, " 1.000", 0);
    for (int bad : {10240, -1}) {
        table.AddDataLine(meas, 4, bad, modeNumber);
    }
    EXPECT_EQ(messages.Shown(),
              (std::vector<test::ShownMessage>{{"Index Error in AddDataLine()", "Error"},
                                               {"Index Error in AddDataLine()", "Error"}}));
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Row(1)[0], "5");
    EXPECT_EQ(rows.Row(1)[4], " 1.000");
}

TEST_F(DataSetTableTest, EmptyRecordGetsARowButNoPoint) {
    chart.InitSeriesType(modeNumber);
    table.AddDataLine(meas, 0, 5, modeNumber);
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(chart.Series(SeriesValue)->Count(), 0u);
}

// The header is built for every data set listed: the view hears of it once, since
// each notice makes it measure its columns again.
TEST_F(DataSetTableTest, HeaderCarriesTheUnitAndIsAnnouncedOnce) {
    chart.InitSeriesType(modeTime);
    std::vector<std::pair<int, int>> notices;
    rows.SetObserver({[&](DataSetRows::Change change, int first, int last) {
                          if (change == DataSetRows::Change::Captions) {
                              notices.emplace_back(first, last);
                          }
                      },
                      {}});
    table.BuildHeader("N", modeTime);
    EXPECT_EQ(notices, (std::vector<std::pair<int, int>>{{3, 8}}));
    const auto& c = rows.Captions();
    EXPECT_EQ(c[0], "Number");
    EXPECT_EQ(c[3], "[Diff] = ms");
    EXPECT_EQ(c[4], "[Value] = N");
    EXPECT_EQ(c[5], "[Min] = N");
    EXPECT_EQ(c[6], "[Max] = N");
    EXPECT_EQ(c[7], "[MinFilt] = N");
    EXPECT_EQ(c[8], "[MaxFilt] = N");
    EXPECT_EQ(chart.LeftAxisTitle(), "[Value] = N");
    EXPECT_EQ(chart.BottomAxis().title, "[t] = s");
}

TEST_F(DataSetTableTest, BatchReachesTheViewInOnePiece) {
    std::vector<std::pair<int, int>> appends;
    rows.SetObserver({[&](DataSetRows::Change change, int first, int last) {
                          if (change == DataSetRows::Change::Append) {
                              appends.emplace_back(first, last);
                          }
                      },
                      {}});
    chart.InitSeriesType(modeNumber);
    table.BeginBatch();
    for (int i = 0; i < 3; ++i) {
        table.AddDataLine(meas, i, 0, modeNumber);
    }
    table.AddBlankLine();
    EXPECT_EQ(rows.Count(), 0);
    table.EndBatch();
    EXPECT_EQ(rows.Count(), 4);
    EXPECT_EQ(appends, (std::vector<std::pair<int, int>>{{0, 3}}));
    EXPECT_EQ(rows.Row(3), TableRow{});
}

}  // namespace
}  // namespace vx
