#pragma once

#include <QIcon>

namespace app {

// The window's 32 x 32 icon: a cluster of blue houses, drawn rather than shipped as a binary.
[[nodiscard]] QIcon AppIcon();

}  // namespace app
