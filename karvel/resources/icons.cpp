// SPDX-License-Identifier: MIT
#include "resources/icons.h"

#include <QPainter>
#include <QPixmap>

#include "resources/resource_ids.h"

namespace karvel::res {

namespace {

// A cabinet with a disc in its window, drawn on a 32-unit grid.
QPixmap drawJukebox(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(QPen(QColor(0x20, 0x28, 0x38), 1.5));
    p.setBrush(QColor(0x3a, 0x5f, 0x8f));
    p.drawRoundedRect(QRectF(3, 2, 26, 28), 3, 3);
    p.setBrush(QColor(0xe8, 0xec, 0xf2));
    p.drawRect(QRectF(7, 5, 18, 17));
    QRadialGradient shine(QPointF(14, 12), 8);
    shine.setColorAt(0, QColor(0xff, 0xff, 0xff));
    shine.setColorAt(1, QColor(0xa0, 0xa8, 0xc0));
    p.setBrush(shine);
    p.drawEllipse(QPointF(16, 13.5), 7, 7);
    p.setBrush(QColor(0x3a, 0x5f, 0x8f));
    p.drawEllipse(QPointF(16, 13.5), 1.8, 1.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(8 + i * 6, 25, 4, 2));
    return pixmap;
}

}  // namespace

QIcon loadIcon(int id) {
    if (id != kProgramIcon)
        return {};
    QIcon icon;
    icon.addPixmap(drawJukebox(16));
    icon.addPixmap(drawJukebox(32));
    icon.addPixmap(drawJukebox(48));
    return icon;
}

}  // namespace karvel::res
