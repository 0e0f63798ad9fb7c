#pragma once

#include <QApplication>

#include <string>
#include <utility>
#include <vector>

#include "app/WindowSettings.h"

namespace vx::test {

// The one application object of a window test executable.
inline void EnsureApplication() {
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "window_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// Settings in memory that record every key the window writes.
class FakeWindowSettings final : public WindowSettings {
  public:
    bool StartupDone() const override { return startupDone; }
    int GraficMode() const override { return graficMode; }
    void SetGraficMode(int mode) override { graficMode = mode; }
    bool WriteConfigValue(const std::string& key, const std::string& value) override {
        if (!writable) {
            return false;
        }
        written.emplace_back(key, value);
        return true;
    }

    bool startupDone = false;
    int graficMode = 0;
    // False: as when the settings folder cannot be found.
    bool writable = true;
    std::vector<std::pair<std::string, std::string>> written;
};

}  // namespace vx::test
