#pragma once

#include <QIcon>
#include <QPixmap>

namespace vx {

inline constexpr int kHeaderWidth = 798;
inline constexpr int kHeaderHeight = 59;

// The window's header band; the alternative one differs in colour only.
QPixmap DrawHeaderPicture(bool alternative = false);

// A gauge dial in several sizes.
QIcon DrawWindowIcon();

}  // namespace vx
