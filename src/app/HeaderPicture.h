#pragma once

#include <QIcon>
#include <QPixmap>

namespace vx {

inline constexpr int kHeaderWidth = 798;
inline constexpr int kHeaderHeight = 59;

// The window's header band; the alternative one differs in colour only.
QPixmap DrawHeaderPicture(bool alternative = false);

// The gauge dial of the program's icon, size pixels square.
QPixmap DrawIconPixmap(int size);

// The gauge dial in the sizes a window icon needs.
QIcon DrawWindowIcon();

}  // namespace vx
