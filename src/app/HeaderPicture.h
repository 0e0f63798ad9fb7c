#pragma once

#include <QIcon>
#include <QPixmap>

namespace vx {

inline constexpr int kHeaderWidth = 798;
inline constexpr int kHeaderHeight = 59;

// The window's header band, drawn for the screen's device pixel ratio; the
// alternative one differs in colour only.
QPixmap DrawHeaderPicture(bool alternative = false, qreal pixelRatio = 1.0);

// The gauge dial of the program's icon, size pixels square.
QPixmap DrawIconPixmap(int size);

// A gauge dial, drawn afresh for every size and pixel ratio asked of it.
QIcon DrawWindowIcon();

}  // namespace vx
