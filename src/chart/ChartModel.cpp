#include "chart/ChartModel.h"

namespace vx {
namespace {

struct SeriesLook {
    const char* title;
    ChartColour colour;
    PointerShape pointer;
};

constexpr std::array<SeriesLook, kSeriesCount> kLooks{{
    {"Value", {0, 255, 0}, PointerShape::Default},
    {"Min.", {128, 0, 0}, PointerShape::Diamond},
    {"Max.", {255, 0, 255}, PointerShape::Diamond},
    {"Min. averaged", {0, 255, 255}, PointerShape::Circle},
    {"Max. averaged", {255, 0, 0}, PointerShape::Circle},
}};

}  // namespace

ChartModel::ChartModel() : bottom_{0, 1.0, "[n]=1"} {}

void ChartModel::InitSeriesType(int mode) {
    const SeriesKind kind = IsLineMode(mode) ? SeriesKind::Line : SeriesKind::Points;
    for (int role = 0; role < kSeriesCount; ++role) {
        const SeriesLook& look = kLooks[role];
        // Line series have no markers, so their pointer shape is never shown.
        const PointerShape pointer =
            kind == SeriesKind::Points ? look.pointer : PointerShape::Default;
        series_[role] = std::make_unique<ChartSeries>(look.title, look.colour, kind, pointer);
        series_[role]->SetChangeHandler([this] { Changed(); });
    }
    ++generation_;
    Changed();
}

void ChartModel::ReleaseSeries() {
    for (auto& series : series_) {
        series.reset();
    }
    ++generation_;
    Changed();
}

bool ChartModel::AddPoint(SeriesRole role, double x, double y) {
    return series_[role] && series_[role]->Add(x, y);
}

bool ChartModel::DeletePoint(SeriesRole role, std::size_t index) {
    return series_[role] && series_[role]->Delete(index);
}

void ChartModel::ClearPoints() {
    for (auto& series : series_) {
        if (series) {
            series->Clear();
        }
    }
}

void ChartModel::SetLeftAxisTitle(std::string title) {
    leftTitle_ = std::move(title);
    Changed();
}

void ChartModel::SetBottomAxis(BottomAxisSetup setup) {
    bottom_ = std::move(setup);
    Changed();
}

bool ChartModel::IsAutomatic(ChartAxis axis) const {
    return axis == ChartAxis::Left ? leftAutomatic_ : bottomAutomatic_;
}

void ChartModel::SetAutomatic(ChartAxis axis, bool on) {
    (axis == ChartAxis::Left ? leftAutomatic_ : bottomAutomatic_) = on;
    Changed();
}

void ChartModel::ZoomAll() {
    SetAutomatic(ChartAxis::Bottom, false);
    SetAutomatic(ChartAxis::Left, false);
    SetAutomatic(ChartAxis::Bottom, true);
    SetAutomatic(ChartAxis::Left, true);
}

void ChartModel::Changed() {
    if (onChange_) {
        onChange_();
    }
}

}  // namespace vx
