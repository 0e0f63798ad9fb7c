#include <gtest/gtest.h>
#include <QSignalSpy>

#include <string>
#include <utility>
#include <vector>

#include "app/GuiTestSupport.h"
#include "app/TForm1.h"

namespace vx {
namespace {

class WindowChartTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
    void SetUp() override {
        form.show();
        form.InitSeriesType();
        form.setXAxis();
        harness.settings.startupDone = true;
        QApplication::processEvents();
    }

    // Draws what is pending, as the next pass of the event loop does.
    void Drawn() { QApplication::processEvents(); }

    test::WindowHarness harness;
    TForm1& form = harness.form;
    Settings& settings = harness.settings;
};

TEST_F(WindowChartTest, ModeSwitchGivesEmptySeriesOfTheModesKind) {
    form.Chart().AddPoint(SeriesValue, 1, 5);
    form.RadioGroupGraficMode->Item(2)->click();
    Drawn();
    EXPECT_EQ(settings.graficMode, 2);
    EXPECT_EQ(harness.StoredValue("graficMode"), "2");
    const std::vector<QString> titles{"Value", "Min.", "Max.", "Min. averaged", "Max. averaged"};
    const std::vector<QColor> colours{QColor(0, 255, 0), QColor(128, 0, 0), QColor(255, 0, 255),
                                      QColor(0, 255, 255), QColor(255, 0, 0)};
    auto graphs = form.Chart1->DrawnGraphs();
    ASSERT_EQ(graphs.size(), 5u);
    for (std::size_t i = 0; i < graphs.size(); ++i) {
        EXPECT_EQ(graphs[i].name, titles[i]);
        EXPECT_EQ(graphs[i].colour, colours[i]);
        EXPECT_TRUE(graphs[i].line);
        EXPECT_FALSE(graphs[i].markers);
        EXPECT_EQ(graphs[i].points, 0);
    }
    EXPECT_EQ(form.Chart1->BottomAxisLabel(), "[t] = s");

    form.RadioGroupGraficMode->Item(0)->click();
    Drawn();
    graphs = form.Chart1->DrawnGraphs();
    ASSERT_EQ(graphs.size(), 5u);
    for (const DrawnGraph& graph : graphs) {
        EXPECT_FALSE(graph.line);
        EXPECT_TRUE(graph.markers);
    }
    EXPECT_EQ(form.Chart1->BottomAxisLabel(), "[n] = 1");
    EXPECT_EQ(harness.StoredValue("graficMode"), "0");
}

TEST_F(WindowChartTest, ModeChangeRebuildsTheSeriesEvenWhenNothingCanBeWritten) {
    harness.folders.applicationData.reset();  // no settings file to write
    form.RadioGroupGraficMode->Item(1)->click();
    EXPECT_EQ(settings.graficMode, 1);
    EXPECT_EQ(form.Chart().Series(SeriesMax)->Kind(), SeriesKind::Points);
    EXPECT_EQ(form.Chart().BottomAxis().title, "[t] = s");
}

TEST_F(WindowChartTest, DisplayBoxesWriteTheirKeysAndShowTheirLabels) {
    const struct {
        QCheckBox* box;
        const char* key;
        QLabel* label;
    } boxes[] = {{form.CheckBPeak1msUp, "showPeakUp", form.pkMax},
                 {form.CheckBPeakfilteredUp, "showPeakUpFiltered", form.pkMaxAvr},
                 {form.CheckBoxMean, "showMean", form.meas300},
                 {form.CheckBPeakfilteredDn, "showPeakDnFiltered", form.pkMinAvr},
                 {form.CheckBPeak1msLo, "showPeakDn", form.pkMin}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.key);
        b.box->click();
        EXPECT_TRUE(b.label->isVisible());
        EXPECT_EQ(harness.StoredValue(b.key), "1");
        b.box->click();
        EXPECT_FALSE(b.label->isVisible());
        EXPECT_EQ(harness.StoredValue(b.key), "0");
    }
}

TEST_F(WindowChartTest, UncheckingMeanValueKeepsTheEarlierPoints) {
    form.CheckBoxMean->setChecked(true);
    form.Chart().AddPoint(SeriesValue, 1, 2.5);
    form.CheckBoxMean->click();
    EXPECT_FALSE(form.meas300->isVisible());
    EXPECT_EQ(harness.StoredValue("showMean"), "0");
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Count(), 1u);
}

// The choice takes effect; only storing it fails, with the message.
TEST_F(WindowChartTest, WithoutASettingsFileTheLabelFollowsItsBox) {
    harness.folders.applicationData.reset();  // no settings file to write
    form.CheckBPeakfilteredUp->click();
    EXPECT_TRUE(form.CheckBPeakfilteredUp->isChecked());
    EXPECT_TRUE(form.pkMaxAvr->isVisible());
    form.CheckBPeakfilteredUp->click();
    EXPECT_FALSE(form.pkMaxAvr->isVisible());
    EXPECT_EQ(harness.messages.Shown().size(), 2u);
}

TEST_F(WindowChartTest, ChangesMadeBeforeStartupIsDoneWriteNothing) {
    settings.startupDone = false;
    const std::size_t generation = form.Chart().SeriesGeneration();
    form.RadioGroupGraficMode->SetItemIndex(2);
    for (QCheckBox* box : {form.CheckBPeak1msUp, form.CheckBPeakfilteredUp, form.CheckBoxMean,
                           form.CheckBPeakfilteredDn, form.CheckBPeak1msLo}) {
        box->setChecked(!box->isChecked());
    }
    EXPECT_FALSE(std::filesystem::exists(harness.temp.Path() /
                                         "config/Kelvorn/SoftwareVX212/418config.ini"));
    EXPECT_EQ(settings.graficMode, 0);
    EXPECT_EQ(form.Chart().SeriesGeneration(), generation);
    EXPECT_FALSE(form.pkMaxAvr->isVisible());
    EXPECT_TRUE(form.meas300->isVisible());
}

TEST_F(WindowChartTest, SetGraficModeLocksTheDisplayGroupOnly) {
    form.SetGraficMode(false);
    for (QWidget* control : std::vector<QWidget*>{
             form.RadioGroupGraficMode, form.CheckBPeak1msUp, form.CheckBPeakfilteredUp,
             form.CheckBoxMean, form.CheckBPeakfilteredDn, form.CheckBPeak1msLo}) {
        EXPECT_FALSE(control->isEnabled());
    }
    EXPECT_TRUE(form.ButtonZoom->isEnabled());
    form.SetGraficMode(true);
    EXPECT_TRUE(form.CheckBoxMean->isEnabled());
}

TEST_F(WindowChartTest, ZoomAllFitsEveryPointAndLeavesAnEmptyChartAlone) {
    const auto emptyLeft = form.Chart1->LeftRange();
    const auto emptyBottom = form.Chart1->BottomRange();
    form.ButtonZoom->click();
    Drawn();
    EXPECT_EQ(form.Chart1->LeftRange(), emptyLeft);
    EXPECT_EQ(form.Chart1->BottomRange(), emptyBottom);

    form.Chart().AddPoint(SeriesMin, 1, -40);
    form.Chart().AddPoint(SeriesMax, 30, 900);
    form.ButtonZoom->click();
    Drawn();
    const auto [left, right] = form.Chart1->BottomRange();
    const auto [bottom, top] = form.Chart1->LeftRange();
    EXPECT_LT(left, 1);
    EXPECT_GT(right, 30);
    EXPECT_LT(bottom, -40);
    EXPECT_GT(top, 900);
    EXPECT_GT(bottom, -100);
    EXPECT_LT(top, 1000);
}

// A whole store of points costs one redraw, and the number axis keeps a readable
// number of ticks.
TEST_F(WindowChartTest, ManyPointsAreDrawnOnceWithFewTicks) {
    QSignalSpy redrawn(form.Chart1, &ChartView::Redrawn);
    for (int i = 1; i <= 10240; ++i) {
        for (int role = 0; role < kSeriesCount; ++role) {
            form.Chart().AddPoint(static_cast<SeriesRole>(role), i, role * 10.0 + i % 7);
        }
    }
    form.ButtonZoomClick();
    Drawn();
    Drawn();
    EXPECT_EQ(redrawn.count(), 1);
    EXPECT_EQ(form.Chart1->DrawnGraphs()[4].points, 10240);
    const QStringList ticks = form.Chart1->BottomTickLabels();
    EXPECT_GE(ticks.size(), 2);
    EXPECT_LE(ticks.size(), 20);
    for (const QString& tick : ticks) {
        EXPECT_FALSE(tick.contains(',') || tick.contains('.')) << tick.toStdString();
    }
}

TEST_F(WindowChartTest, AxisLabelsUseTheDecimalSeparator) {
    form.Chart1->SetDecimalSeparator(',');
    form.Chart().SetLeftAxisTitle("[Value] = N");
    form.RadioGroupGraficMode->Item(1)->click();
    form.Chart().AddPoint(SeriesValue, 0.0, 1000.0);
    form.Chart().AddPoint(SeriesValue, 0.004, 3000.0);
    form.ButtonZoomClick();
    Drawn();
    EXPECT_EQ(form.Chart1->LeftAxisLabel(), "[Value] = N");
    EXPECT_EQ(form.Chart1->DrawnTitle(), "Data");
    EXPECT_TRUE(form.Chart1->LeftTickLabels().contains("2.000"))
        << form.Chart1->LeftTickLabels().join(' ').toStdString();
    EXPECT_TRUE(form.Chart1->BottomTickLabels().contains("0,002"))
        << form.Chart1->BottomTickLabels().join(' ').toStdString();
}

}  // namespace
}  // namespace vx
