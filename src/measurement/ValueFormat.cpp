#include "measurement/ValueFormat.h"

#include <fmt/compile.h>
#include <fmt/format.h>

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

// One value format: its {fmt} text, and that text compiled for the sample path,
// where parsing it at every call would double the cost.
struct FormatRow {
    std::string_view text;
    std::string (*print)(double value);
};

#define VX_FORMAT_ROW(text)                                                      \
    FormatRow {                                                                  \
        text, [](double value) { return fmt::format(FMT_COMPILE(text), value); } \
    }

// Index = number of decimals, then the general format. Right-aligned explicitly, as
// printf does it: {fmt} would put "nan" and "inf" on the left.
constexpr std::array<FormatRow, 7> kFormats{VX_FORMAT_ROW("{:> 6.0f}"), VX_FORMAT_ROW("{:> 6.1f}"),
                                            VX_FORMAT_ROW("{:> 6.2f}"), VX_FORMAT_ROW("{:> 6.3f}"),
                                            VX_FORMAT_ROW("{:> 6.4f}"), VX_FORMAT_ROW("{:> 6.5f}"),
                                            VX_FORMAT_ROW("{:> .6g}")};
constexpr size_t kGeneralFormat = 6;

#undef VX_FORMAT_ROW

const FormatRow& FormatFor(double step, bool hiRes) {
    const double s = std::fabs(step);
    const size_t extra = hiRes ? 1 : 0;
    if (s < 1) {
        return kFormats[4 + extra];
    }
    if (s < 10) {
        return kFormats[3 + extra];
    }
    if (s < 100) {
        return kFormats[2 + extra];
    }
    if (s < 1000) {
        return kFormats[1 + extra];
    }
    if (s < 100000) {
        return kFormats[0 + extra];
    }
    return kFormats[kGeneralFormat];
}

void ReplaceFirst(std::string& text, char from, std::string_view to) {
    const size_t position = text.find(from);
    if (position == std::string::npos) {
        return;
    }
    if (to.size() == 1) {
        text[position] = to.front();  // the usual case, and the cheap one
    } else {
        text.replace(position, 1, to);
    }
}

}  // namespace

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
    return FormatFor(step, hiRes).text;
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
    const FormatRow& format = FormatFor(step, hiRes);
    const double quantum = step * (hiRes ? 0.0001 : 0.001);
    // {fmt} always writes "." whatever the C locale says.
    std::string text = format.print(RoundToMultiple(x, quantum));
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
