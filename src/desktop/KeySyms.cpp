#include "desktop/KeySyms.h"

namespace vx {

uint32_t KeySymOf(char32_t character) {
    if (character == '\r' || character == '\n') {
        return kKeySymReturn;
    }
    if (character == '\t') {
        return kKeySymTab;
    }
    if ((character >= 0x20 && character <= 0x7E) || (character >= 0xA0 && character <= 0xFF)) {
        return character;
    }
    return 0x01000000 | character;
}

}  // namespace vx
