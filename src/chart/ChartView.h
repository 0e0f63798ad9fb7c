#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <utility>
#include <vector>

#include "chart/ChartModel.h"

class QCustomPlot;
class QCPLayoutElement;

namespace vx {

// One series as the plot draws it.
struct DrawnGraph {
    QString name;
    bool line = false;
    bool markers = false;
    QColor colour;
    int points = 0;
};

// Draws a ChartModel. Changes are collected and drawn once per pass of the event
// loop, so a whole store of points costs one redraw.
class ChartView final : public QWidget {
    Q_OBJECT

  public:
    explicit ChartView(ChartModel& model, QWidget* parent = nullptr);
    ~ChartView() override;

    // Places a widget of the window in the chart's right column, below the legend;
    // the column is as wide as the wider of the two.
    void SetSidePanel(QWidget* panel);
    // Where the plot, the legend and the side panel stand, in this widget's
    // coordinates; the plot is drawn inside the focus frame.
    QRect PlotRect() const;
    QRect LegendRect() const;
    QRect SidePanelRect() const;

    // The decimal separator of the axis labels; the process locale's by default.
    void SetDecimalSeparator(char separator);
    bool RedrawPending() const { return redrawPending_; }

    // What the last redraw put on the screen.
    std::vector<DrawnGraph> DrawnGraphs() const;
    QString DrawnTitle() const;
    QString LeftAxisLabel() const;
    QString BottomAxisLabel() const;
    QStringList LeftTickLabels() const;
    QStringList BottomTickLabels() const;
    std::pair<double, double> LeftRange() const;
    std::pair<double, double> BottomRange() const;

  signals:
    void Redrawn();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void PlaceSidePanel();
    void ScheduleRedraw();
    void Redraw();
    void RebuildGraphs();
    void UpdateAxes();
    void FitAutomaticAxes();
    void UserMovedAxis(ChartAxis axis);

    ChartModel& model_;
    QCustomPlot* plot_;
    QCPLayoutElement* sidePlace_;
    QWidget* sidePanel_ = nullptr;
    char decimalSeparator_;
    bool redrawPending_ = false;
    bool settingRange_ = false;
    std::size_t drawnGeneration_ = 0;
};

}  // namespace vx
