// softwarevx212-demo: the program with the built-in simulated instrument, in real
// time, or with --replay FILE on a recorded session of a real one. --auto starts an
// automatic run as soon as the instrument can be used (for soak runs).
#include <QShortcut>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "app/ProgramEntry.h"
#include "app/TForm1.h"
#include "device/ReplayBackend.h"
#include "device/SimulatedInstrument.h"

namespace {

bool HasOption(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) {
            return true;
        }
    }
    return false;
}

// Presses "ST&ART AUTO" until the run has started: the button does nothing before
// the link is up.
void StartAutomaticRun(vx::TForm1& window) {
    auto* retry = new QTimer(&window);
    QObject::connect(retry, &QTimer::timeout, [&window, retry] {
        if (window.Stop->isEnabled()) {
            retry->stop();
            retry->deleteLater();
            return;
        }
        if (window.Start->isEnabled()) {
            window.Start->click();
        }
    });
    retry->start(100);
}

// The file after --replay; empty without the option.
const char* ReplayFile(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--replay") == 0) {
            return argv[i + 1];
        }
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    vx::Settings settings;
    if (const char* file = ReplayFile(argc, argv); *file != '\0') {
        const auto recording = vx::ReadRecordingFile(file);
        if (const auto* why = std::get_if<std::string>(&recording)) {
            std::fprintf(stderr, "softwarevx212-demo: %s\n", why->c_str());
            return 2;
        }
        vx::ReplayBackend replay(std::get<vx::Recording>(recording));
        return vx::RunProgram(argc, argv, settings, replay);
    }
    vx::SimulatedInstrument instrument;
    const bool autoRun = HasOption(argc, argv, "--auto");
    return vx::RunProgram(argc, argv, settings, instrument, [&](vx::TForm1& window) {
        // F8 stands for the key on the instrument.
        auto* key = new QShortcut(Qt::Key_F8, &window);
        QObject::connect(key, &QShortcut::activated, [&] { instrument.PressKey(); });
        window.Image3->setStatusTip("Demo: F8 presses the instrument's key");
        window.Image3->setToolTip("Demo: F8 presses the instrument's key");
        if (autoRun) {
            StartAutomaticRun(window);
        }
    });
}
