#include "app/app_icon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace app {
namespace {

void DrawHouse(QPainter& painter, int left, int bottom, int width, const QColor& colour) {
  const int wall = width * 3 / 4;
  painter.setBrush(colour);
  painter.drawRect(left, bottom - wall, width, wall);
  const QPolygon roof({QPoint(left - 1, bottom - wall), QPoint(left + width / 2, bottom - wall - width / 2),
                       QPoint(left + width + 1, bottom - wall)});
  painter.setBrush(colour.darker(140));
  painter.drawPolygon(roof);
}

}  // namespace

QIcon AppIcon() {
  QImage image(32, 32, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QColor(10, 30, 90));
  DrawHouse(painter, 2, 30, 12, QColor(70, 120, 220));
  DrawHouse(painter, 17, 30, 13, QColor(40, 90, 200));
  DrawHouse(painter, 9, 18, 12, QColor(90, 150, 240));
  painter.end();
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace app
