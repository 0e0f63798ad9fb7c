#include "chart/ChartModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

namespace vx {
namespace {

std::vector<double> Xs(const ChartSeries& series) {
    std::vector<double> xs;
    for (const ChartPoint& p : series.Points()) {
        xs.push_back(p.x);
    }
    return xs;
}

ChartSeries MakeSeries() {
    return ChartSeries("Value", {0, 255, 0}, SeriesKind::Points, PointerShape::Default);
}

TEST(ChartSeriesTest, KeepsPointsInAscendingXAndDeletesByThatOrder) {
    ChartSeries series = MakeSeries();
    for (double x : {5.0, 1.0, 3.0, 9.0, 3.0}) {
        EXPECT_TRUE(series.Add(x, x * 10));
    }
    EXPECT_EQ(Xs(series), (std::vector<double>{1, 3, 3, 5, 9}));

    ASSERT_TRUE(series.Delete(3));  // the fourth point in x order: x = 5
    EXPECT_EQ(Xs(series), (std::vector<double>{1, 3, 3, 9}));
    EXPECT_FALSE(series.Delete(4));
    EXPECT_EQ(series.Count(), 4u);
}

TEST(ChartSeriesTest, EqualXGoesBehindTheExistingPoints) {
    ChartSeries series = MakeSeries();
    series.Add(2, 1);
    series.Add(2, 2);
    series.Add(1, 0);
    series.Add(2, 3);
    EXPECT_EQ(series.Points(), (std::vector<ChartPoint>{{1, 0}, {2, 1}, {2, 2}, {2, 3}}));
}

TEST(ChartSeriesTest, RejectsCoordinatesThatAreNoNumbers) {
    ChartSeries series = MakeSeries();
    series.Add(1, 1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(series.Add(nan, 1));
    EXPECT_FALSE(series.Add(0, nan));
    EXPECT_FALSE(series.Add(inf, 1));
    series.Add(0.5, 2);
    EXPECT_EQ(Xs(series), (std::vector<double>{0.5, 1}));
}

// An automatic run past the end of the store replaces the point at index
// dataIndex / divisor by one at x = dataIndex: the x values must stay in order.
TEST(ChartSeriesTest, ReplacementsAfterTheStoreWrapsKeepXInOrder) {
    const int storeSize = 40;
    const int divisor = 4;
    ChartSeries series = MakeSeries();
    for (int dataIndex = 0; dataIndex < storeSize; dataIndex += divisor) {
        series.Add(dataIndex, 1.0);
    }
    for (int dataIndex = 0; dataIndex <= 12; dataIndex += divisor) {
        ASSERT_TRUE(series.Delete(static_cast<std::size_t>(dataIndex / divisor)));
        series.Add(dataIndex, 2.0);
    }
    std::vector<double> expectedX;
    for (int x = 0; x < storeSize; x += divisor) {
        expectedX.push_back(x);
    }
    EXPECT_EQ(Xs(series), expectedX);
    for (const ChartPoint& p : series.Points()) {
        EXPECT_EQ(p.y, p.x <= 12 ? 2.0 : 1.0) << "x " << p.x;
    }
}

struct ModeCase {
    int mode;
    SeriesKind kind;
    BottomAxisSetup axis;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << "mode " << c.mode;
}

class ChartModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ChartModeTest, BuildsEmptySeriesOfTheModesKindAndItsAxis) {
    const ModeCase& c = GetParam();
    ChartModel chart;
    chart.InitSeriesType(modeNumber);
    chart.AddPoint(SeriesMax, 1, 2);

    chart.InitSeriesType(c.mode);
    EXPECT_EQ(BottomAxisFor(c.mode), c.axis);
    for (int role = 0; role < kSeriesCount; ++role) {
        const ChartSeries* series = chart.Series(static_cast<SeriesRole>(role));
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(series->Kind(), c.kind);
        EXPECT_EQ(series->DrawBetweenPoints(), c.kind == SeriesKind::Line);
        EXPECT_EQ(series->Count(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ChartModeTest,
                         ::testing::Values(ModeCase{0, SeriesKind::Points, {0, 1.0, "[n] = 1"}},
                                           ModeCase{1, SeriesKind::Points, {3, 0.001, "[t] = s"}},
                                           ModeCase{2, SeriesKind::Line, {3, 0.001, "[t] = s"}},
                                           ModeCase{7, SeriesKind::Points, {3, 0.001, "[t] = s"}},
                                           ModeCase{
                                               -1, SeriesKind::Points, {3, 0.001, "[t] = s"}}));

TEST(ChartModelTest, SeriesHaveTheirTitlesColoursAndShapesInCreationOrder) {
    struct Look {
        std::string title;
        ChartColour colour;
        PointerShape pointer;
    };
    const std::vector<Look> looks{{"Value", {0, 255, 0}, PointerShape::Default},
                                  {"Min.", {128, 0, 0}, PointerShape::Diamond},
                                  {"Max.", {255, 0, 255}, PointerShape::Diamond},
                                  {"Min. averaged", {0, 255, 255}, PointerShape::Circle},
                                  {"Max. averaged", {255, 0, 0}, PointerShape::Circle}};
    ChartModel chart;
    chart.InitSeriesType(modeTime);
    for (int role = 0; role < kSeriesCount; ++role) {
        const ChartSeries& series = *chart.Series(static_cast<SeriesRole>(role));
        EXPECT_EQ(series.Title(), looks[role].title);
        EXPECT_EQ(series.Colour(), looks[role].colour);
        EXPECT_EQ(series.Pointer(), looks[role].pointer);
    }
}

TEST(ChartModelTest, WithoutSeriesPointOperationsDoNothing) {
    ChartModel chart;
    EXPECT_FALSE(chart.HasSeries());
    EXPECT_FALSE(chart.AddPoint(SeriesValue, 1, 1));
    EXPECT_FALSE(chart.DeletePoint(SeriesValue, 0));
    chart.ClearPoints();

    chart.InitSeriesType(modeNumber);
    chart.ReleaseSeries();
    EXPECT_FALSE(chart.HasSeries());
    EXPECT_FALSE(chart.AddPoint(SeriesMin, 1, 1));
}

TEST(ChartModelTest, DesignStateAndZoomAll) {
    ChartModel chart;
    EXPECT_EQ(chart.Title(), "Data");
    EXPECT_EQ(chart.LeftAxisTitle(), "Value");
    EXPECT_EQ(chart.BottomAxis(), (BottomAxisSetup{0, 1.0, "[n]=1"}));
    EXPECT_FALSE(chart.IsAutomatic(ChartAxis::Left));
    EXPECT_TRUE(chart.IsAutomatic(ChartAxis::Bottom));

    int changes = 0;
    chart.SetChangeHandler([&] { ++changes; });
    chart.ZoomAll();
    EXPECT_TRUE(chart.IsAutomatic(ChartAxis::Left));
    EXPECT_TRUE(chart.IsAutomatic(ChartAxis::Bottom));
    EXPECT_GT(changes, 0);

    // Points of new series report their changes too.
    chart.InitSeriesType(modeNumber);
    changes = 0;
    chart.AddPoint(SeriesMinAvr, 1, 1);
    chart.ClearPoints();
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace vx
