// softwarevx212: the program on the instrument's USB link.
#include "app/ProgramEntry.h"
#include "device/LibusbBackend.h"

int main(int argc, char** argv) {
    // The window's start-up reads the settings, after preparing the per-user folder
    // (a first start copies the delivered settings there), and then opens the device:
    // the hand-edited UsbId is taken from them at that moment.
    vx::Settings settings;
    vx::LibusbBackend usb([&settings] { return vx::ParseUsbId(settings.UsbId); });
    return vx::RunProgram(argc, argv, settings, usb);
}
