#include "measurement/ValueFormat.h"

#include <fmt/format.h>
#include <langinfo.h>

#include <array>
#include <cmath>

namespace vx {

namespace {

struct StepRow {
    double bound;
    double large;
    double middle;
    double small;
};

constexpr std::array<StepRow, 18> kStepTable{{
    {1, 0.5, 0.2, 0.1},
    {2.5, 1, 0.5, 0.2},
    {5, 2, 1, 0.5},
    {10, 5, 2, 1},
    {25, 10, 5, 2},
    {50, 20, 10, 5},
    {100, 50, 20, 10},
    {250, 100, 50, 20},
    {500, 200, 100, 50},
    {1000, 500, 200, 100},
    {2500, 1000, 500, 200},
    {5000, 2000, 1000, 500},
    {10000, 5000, 2000, 1000},
    {25000, 10000, 5000, 2000},
    {50000, 20000, 10000, 5000},
    {100000, 50000, 20000, 10000},
    {250000, 100000, 50000, 20000},
    {500000, 200000, 100000, 50000},
}};

// Index = number of decimals. Right-aligned explicitly, as printf does it: {fmt}
// would put "nan" and "inf" on the left.
constexpr std::array<std::string_view, 6> kFixedFormats{"{:> 6.0f}", "{:> 6.1f}", "{:> 6.2f}",
                                                        "{:> 6.3f}", "{:> 6.4f}", "{:> 6.5f}"};
constexpr std::string_view kGeneralFormat = "{:> .6g}";

void ReplaceFirst(std::string& text, char from, std::string_view to) {
    const size_t position = text.find(from);
    if (position != std::string::npos) {
        text.replace(position, 1, to);
    }
}

}  // namespace

std::string_view ProcessDecimalSeparator() {
    return nl_langinfo(RADIXCHAR);
}

double ResolutionStep(double r, double x) {
    for (const StepRow& row : kStepTable) {
        if (r <= row.bound) {
            const double magnitude = std::fabs(x);
            if (magnitude > 0.9995 * row.large) {
                return row.large;
            }
            return magnitude > row.middle ? row.middle : row.small;
        }
    }
    return 1.0;
}

std::string_view BuildValueFormat(double step, bool hiRes) {
    const double s = std::fabs(step);
    const size_t extra = hiRes ? 1 : 0;
    if (s < 1) {
        return kFixedFormats[4 + extra];
    }
    if (s < 10) {
        return kFixedFormats[3 + extra];
    }
    if (s < 100) {
        return kFixedFormats[2 + extra];
    }
    if (s < 1000) {
        return kFixedFormats[1 + extra];
    }
    if (s < 100000) {
        return kFixedFormats[0 + extra];
    }
    return kGeneralFormat;
}

// Truncation stays in double arithmetic, so that values too large for an integer
// (and NaN or infinity) pass through instead of overflowing.
double RoundToMultiple(double x, double q) {
    if (!(q > 0)) {
        return x;
    }
    const double t = std::fabs(x) + q * 0.5;
    const double n = std::trunc(t / q);
    const double r = n * q;
    return x < 0 ? -r : r;
}

std::string ValueFormatter::FormatValue(double x) const {
    const double step = ResolutionStep(*nominalValue_ * 0.99, x);
    const std::string_view format = BuildValueFormat(step, hiRes);
    const double quantum = step * (hiRes ? 0.0001 : 0.001);
    // {fmt} always writes "." whatever the C locale says.
    std::string text = fmt::format(fmt::runtime(format), RoundToMultiple(x, quantum));
    ReplaceFirst(text, '.', decimalSeparator_());
    return text;
}

void ToExternalSeparator(std::string& text, std::string_view separatorSetting) {
    if (separatorSetting.empty()) {
        return;
    }
    ReplaceFirst(text, text.find(',') != std::string::npos ? ',' : '.', separatorSetting);
}

void ToLocaleSeparator(std::string& text, std::string_view processSeparator) {
    ReplaceFirst(text, text.find('.') != std::string::npos ? '.' : ',', processSeparator);
}

}  // namespace vx
