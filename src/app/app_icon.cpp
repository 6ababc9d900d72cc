#include "app/app_icon.h"

#include <QString>

namespace app {

QIcon AppIcon() {
  return QIcon(QStringLiteral(":/icons/parkmarq.png"));
}

}  // namespace app
