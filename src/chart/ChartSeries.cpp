#include "chart/ChartSeries.h"

#include <algorithm>
#include <cmath>

namespace vx {

ChartSeries::ChartSeries(std::string title, ChartColour colour, SeriesKind kind,
                         PointerShape pointer)
    : title_(std::move(title)), colour_(colour), kind_(kind), pointer_(pointer) {}

void ChartSeries::SetTitle(std::string title) {
    title_ = std::move(title);
    Changed();
}

bool ChartSeries::Add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return false;
    }
    // Data sets arrive in ascending x almost always: appending is the fast path.
    auto at = points_.end();
    if (!points_.empty() && x < points_.back().x) {
        at = std::upper_bound(points_.begin(), points_.end(), x,
                              [](double value, const ChartPoint& p) { return value < p.x; });
    }
    points_.insert(at, ChartPoint{x, y});
    Changed();
    return true;
}

bool ChartSeries::Delete(std::size_t index) {
    if (index >= points_.size()) {
        return false;
    }
    points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(index));
    Changed();
    return true;
}

void ChartSeries::Clear() {
    if (points_.empty()) {
        return;
    }
    points_.clear();
    Changed();
}

void ChartSeries::ShiftX(double dx) {
    if (points_.empty() || dx == 0.0) {
        return;
    }
    for (ChartPoint& p : points_) {
        p.x += dx;
    }
    Changed();
}

void ChartSeries::Changed() {
    if (onChange_) {
        onChange_();
    }
}

}  // namespace vx
