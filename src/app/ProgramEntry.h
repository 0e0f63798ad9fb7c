#pragma once

#include <functional>

#include "device/UsbBackend.h"
#include "settings/Settings.h"

namespace vx {

class TForm1;

// The program: the application title, the main window over the given settings and
// instrument backend, the event loop, and the general error report for errors no
// handler caught. prepareWindow, when given, runs once the window exists. A write
// beyond the file-size limit fails with EFBIG instead of ending the program (SIGXFSZ
// is ignored from here on).
int RunProgram(int argc, char** argv, Settings& settings, UsbBackend& backend,
               const std::function<void(TForm1&)>& prepareWindow = {});

}  // namespace vx
