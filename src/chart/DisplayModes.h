#pragma once

#include <string>

namespace vx {

// The chart's display modes, as stored under graficMode and selected in the radio group.
enum GraficMode : int { modeNumber = 0, modeTime = 1, modeTimeLines = 2 };

// Only mode 2 draws lines, only mode 0 numbers the data sets: any other stored value
// draws points over the time axis.
inline bool IsLineMode(int mode) {
    return mode == modeTimeLines;
}
inline bool IsNumberAxis(int mode) {
    return mode == modeNumber;
}

// The bottom axis: labels with a fixed number of decimals, the smallest step between
// two ticks, and the title.
struct BottomAxisSetup {
    int decimals = 0;
    double increment = 1.0;
    std::string title;
    bool operator==(const BottomAxisSetup&) const = default;
};

BottomAxisSetup BottomAxisFor(int mode);

}  // namespace vx
