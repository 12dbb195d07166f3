#include "shell/gui/pictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <functional>

namespace vorax::gui {
namespace {

// Every picture is drawn on a 16 by 16 grid and rendered at the sizes a tool bar and a
// title bar ask for.
using Drawing = std::function<void(QPainter&)>;

QIcon iconFrom(const Drawing& draw) {
  QIcon icon;
  for (const int size : std::array{16, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

void drawOpenFolder(QPainter& p) {
  p.setPen(QPen(QColor(0x80, 0x60, 0x10), 0.8));
  p.setBrush(QColor(0xe8, 0xc0, 0x50));
  p.drawPolygon(QPolygonF({{1, 3}, {6, 3}, {7, 4.5}, {13, 4.5}, {13, 13}, {1, 13}}));
  p.setBrush(QColor(0xf8, 0xdc, 0x78));
  p.drawPolygon(QPolygonF({{3, 7}, {15.5, 7}, {13, 13}, {1, 13}}));
}

void drawExitDoor(QPainter& p) {
  p.setPen(QPen(QColor(0x50, 0x30, 0x10), 0.8));
  p.setBrush(QColor(0xb0, 0x70, 0x30));
  p.drawRect(QRectF(2, 1.5, 7, 13));
  p.setBrush(QColor(0xf0, 0xe0, 0x40));
  p.drawEllipse(QPointF(7.4, 8), 0.8, 0.8);
  p.setPen(QPen(QColor(0xc0, 0x10, 0x10), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(9.5, 8), QPointF(15, 8));
  p.drawPolyline(QPolygonF({{12.5, 5.5}, {15, 8}, {12.5, 10.5}}));
}

void drawAboutSign(QPainter& p) {
  p.setPen(QPen(QColor(0x10, 0x30, 0x90), 0.8));
  p.setBrush(QColor(0x30, 0x70, 0xe0));
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 4.6), 1.2, 1.2);
  p.drawRoundedRect(QRectF(6.9, 6.8, 2.2, 6.4), 0.6, 0.6);
}

void drawChip(QPainter& p) {
  p.setPen(QPen(QColor(0x90, 0x90, 0x90), 0.8));
  for (int i = 0; i < 4; ++i) {
    const double at = 4 + i * 2.7;
    p.drawLine(QPointF(at, 0.5), QPointF(at, 2.5));
    p.drawLine(QPointF(at, 13.5), QPointF(at, 15.5));
    p.drawLine(QPointF(0.5, at), QPointF(2.5, at));
    p.drawLine(QPointF(13.5, at), QPointF(15.5, at));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x30, 0x40));
  p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 1.2, 1.2);
  p.setPen(QPen(QColor(0x40, 0xe0, 0x90), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({{5, 5}, {8, 11}, {11, 5}}));
}

}  // namespace

QIcon openFilePicture() { return iconFrom(drawOpenFolder); }
QIcon exitPicture() { return iconFrom(drawExitDoor); }
QIcon aboutPicture() { return iconFrom(drawAboutSign); }
QIcon programIcon() { return iconFrom(drawChip); }

}  // namespace vorax::gui
