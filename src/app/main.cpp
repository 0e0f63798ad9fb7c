// softwarevx212: the program on the instrument's USB link.
#include "app/ProgramEntry.h"
#include "device/NoUsbBackend.h"

int main(int argc, char** argv) {
    vx::NoUsbBackend usb;
    return vx::RunProgram(argc, argv, usb);
}
