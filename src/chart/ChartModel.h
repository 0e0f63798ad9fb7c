#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "chart/ChartSeries.h"
#include "chart/DisplayModes.h"

namespace vx {

// The five series, in creation order (the legend lists them so).
enum SeriesRole : int { SeriesValue = 0, SeriesMin, SeriesMax, SeriesMinAvr, SeriesMaxAvr };
inline constexpr int kSeriesCount = 5;

enum class ChartAxis { Left, Bottom };

// What the chart shows: the five series, the titles and the axis set-up. The window
// draws it; everything that plots data sets works on it. Before the first
// InitSeriesType no series exist, and the point operations here then do nothing.
class ChartModel {
  public:
    ChartModel();

    // Replaces the five series by empty ones of the kind the mode draws.
    void InitSeriesType(int mode);
    // Destroys the series; the window does so when it closes.
    void ReleaseSeries();
    bool HasSeries() const { return series_[0] != nullptr; }
    // Null while no series exist.
    ChartSeries* Series(SeriesRole role) { return series_[role].get(); }
    const ChartSeries* Series(SeriesRole role) const { return series_[role].get(); }

    bool AddPoint(SeriesRole role, double x, double y);
    bool DeletePoint(SeriesRole role, std::size_t index);
    // Removes every point of the five series.
    void ClearPoints();

    const std::string& Title() const { return title_; }
    const std::string& LeftAxisTitle() const { return leftTitle_; }
    void SetLeftAxisTitle(std::string title);
    const BottomAxisSetup& BottomAxis() const { return bottom_; }
    void SetBottomAxis(BottomAxisSetup setup);

    // An axis with automatic scaling follows all points of the chart; one without
    // keeps its range until it is switched on again.
    bool IsAutomatic(ChartAxis axis) const;
    void SetAutomatic(ChartAxis axis, bool on);
    // Off and on again for both axes: they fit all points, whatever zoom was made.
    void ZoomAll();

    // Counts the replacements of the series as a whole.
    std::size_t SeriesGeneration() const { return generation_; }

    // Runs after every change; the drawing side collects them into one redraw.
    void SetChangeHandler(std::function<void()> onChange) { onChange_ = std::move(onChange); }

  private:
    void Changed();

    std::array<std::unique_ptr<ChartSeries>, kSeriesCount> series_;
    std::string title_ = "Data";
    std::string leftTitle_ = "Value";
    BottomAxisSetup bottom_;
    bool leftAutomatic_ = false;
    bool bottomAutomatic_ = true;
    std::size_t generation_ = 0;
    std::function<void()> onChange_;
};

}  // namespace vx
