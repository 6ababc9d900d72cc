#pragma once

#include <QIcon>

namespace app {

// The window's 32 x 32 icon, a cluster of blue houses, as data/make_icon.py draws it at build time.
[[nodiscard]] QIcon AppIcon();

}  // namespace app
