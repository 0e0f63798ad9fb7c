// softwarevx212-demo: the program with the built-in simulated instrument, in real time.
#include <QShortcut>

#include "app/ProgramEntry.h"
#include "app/TForm1.h"
#include "device/SimulatedInstrument.h"

int main(int argc, char** argv) {
    vx::SimulatedInstrument instrument;
    return vx::RunProgram(argc, argv, instrument, [&](vx::TForm1& window) {
        // F8 stands for the key on the instrument.
        auto* key = new QShortcut(Qt::Key_F8, &window);
        QObject::connect(key, &QShortcut::activated, [&] { instrument.PressKey(); });
        window.Image3->setStatusTip("Demo: F8 presses the instrument's key");
        window.Image3->setToolTip("Demo: F8 presses the instrument's key");
    });
}
