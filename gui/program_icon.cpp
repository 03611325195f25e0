#include "gui/program_icon.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace tessel {
namespace {

constexpr int kWindowIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Small icons get fewer, larger tiles so that the pattern stays readable.
int TilesPerSide(int size) { return size < 24 ? 2 : (size < 64 ? 3 : 4); }

void DrawTiles(QPainter& painter, const QRectF& area, int tiles) {
    const QColor colours[] = {QColor(0x1f, 0x6f, 0xb2), QColor(0x2a, 0x9d, 0x8f), QColor(0x26, 0x4b, 0x8c)};
    const qreal tile = area.width() / tiles;
    for (int row = 0; row < tiles; ++row) {
        for (int column = 0; column < tiles; ++column) {
            const QRectF cell(area.left() + column * tile, area.top() + row * tile, tile, tile);
            painter.fillRect(cell, colours[(row + 2 * column) % 3]);
            // A diagonal in each tile turns the squares into a triangle tessellation.
            QPolygonF half;
            half << cell.topLeft() << cell.topRight() << cell.bottomLeft();
            painter.setBrush(QColor(255, 255, 255, 40));
            painter.setPen(Qt::NoPen);
            painter.drawPolygon(half);
        }
    }
}

void DrawArrow(QPainter& painter, const QRectF& area) {
    const qreal w = area.width();
    const qreal cx = area.center().x();
    QPolygonF arrow;
    arrow << QPointF(cx, area.top() + 0.16 * w) << QPointF(cx + 0.30 * w, area.top() + 0.50 * w)
          << QPointF(cx + 0.12 * w, area.top() + 0.50 * w) << QPointF(cx + 0.12 * w, area.top() + 0.84 * w)
          << QPointF(cx - 0.12 * w, area.top() + 0.84 * w) << QPointF(cx - 0.12 * w, area.top() + 0.50 * w)
          << QPointF(cx - 0.30 * w, area.top() + 0.50 * w);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(QColor(0x10, 0x2a, 0x43), qMax<qreal>(1.0, w / 32.0)));
    painter.drawPolygon(arrow);
}

}  // namespace

QPixmap ProgramIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, size, size);
    QPainterPath outline;
    const qreal radius = size / 6.0;
    outline.addRoundedRect(area, radius, radius);
    painter.setClipPath(outline);
    DrawTiles(painter, area, TilesPerSide(size));
    painter.setClipping(false);
    DrawArrow(painter, area);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : kWindowIconSizes) icon.addPixmap(ProgramIconPixmap(size));
    return icon;
}

}  // namespace tessel
