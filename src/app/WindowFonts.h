#pragma once

#include <QFont>

namespace vx {

// The designed faces at their designed character heights: Tahoma is drawn with
// DejaVu Sans, Courier with DejaVu Sans Mono.
inline QFont SansFont(int pixelSize, bool bold = false) {
    QFont font("DejaVu Sans");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

inline QFont MonoFont(int pixelSize, bool bold = false) {
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

}  // namespace vx
