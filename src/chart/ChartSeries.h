#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vx {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const ChartPoint&) const = default;
};

struct ChartColour {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const ChartColour&) const = default;
};

// Point series draw markers only, line series join their points in order of x.
enum class SeriesKind { Points, Line };
enum class PointerShape { Default, Diamond, Circle };

// One series of the chart. Points stay in ascending order of x, as the chart keeps
// them, so an index always counts in that order; a point with the same x as existing
// ones goes behind them.
class ChartSeries {
  public:
    ChartSeries(std::string title, ChartColour colour, SeriesKind kind, PointerShape pointer);

    const std::string& Title() const { return title_; }
    void SetTitle(std::string title);
    ChartColour Colour() const { return colour_; }
    SeriesKind Kind() const { return kind_; }
    PointerShape Pointer() const { return pointer_; }
    bool DrawBetweenPoints() const { return kind_ == SeriesKind::Line; }

    // False, and nothing is added, for a coordinate that is not a finite number: such
    // a point would break the order and the axis scaling.
    bool Add(double x, double y);
    // False, and nothing changes, when there is no point with that index.
    bool Delete(std::size_t index);
    void Clear();
    // Moves every point by dx along the x axis; their order stays.
    void ShiftX(double dx);

    std::size_t Count() const { return points_.size(); }
    const std::vector<ChartPoint>& Points() const { return points_; }

    // Runs after every change of points or title; the chart uses it to redraw.
    void SetChangeHandler(std::function<void()> onChange) { onChange_ = std::move(onChange); }

  private:
    void Changed();

    std::string title_;
    ChartColour colour_;
    SeriesKind kind_;
    PointerShape pointer_;
    std::vector<ChartPoint> points_;
    std::function<void()> onChange_;
};

}  // namespace vx
