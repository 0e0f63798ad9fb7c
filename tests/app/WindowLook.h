#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace vx::test {

// What a user would see wrong in the window, each named by the control, its text
// and the room it has: texts that do not fit their control, visible controls whose
// drawn parts run into each other or out of the window, a legend or radio group
// that leaves the chart. Empty when the window looks finished.
std::vector<std::string> LookProblems(const QWidget& window);

}  // namespace vx::test
