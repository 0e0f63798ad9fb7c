#include "chart/DisplayModes.h"

namespace vx {

BottomAxisSetup BottomAxisFor(int mode) {
    if (IsNumberAxis(mode)) {
        return {0, 1.0, std::string("[n]") + " = " + "1"};
    }
    return {3, 0.001, std::string("[t]") + " = " + "s"};
}

}  // namespace vx
