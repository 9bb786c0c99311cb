#include "platform/qt/qt_artwork.h"

#include <QPainter>
#include <QPolygon>

namespace pravelo::platform::qt {

namespace {

// A page with a folded corner, a few text lines and a blue "P" seal; the
// 16-colour palette keeps it in the spirit of the classic icon.
void drawDocument(QPainter& p, const QRect& page) {
    const int fold = page.width() / 3;
    QPolygon sheet;
    sheet << page.topLeft() << QPoint(page.right() - fold, page.top())
          << QPoint(page.right(), page.top() + fold) << page.bottomRight() << page.bottomLeft();
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(sheet);

    QPolygon corner;
    corner << QPoint(page.right() - fold, page.top())
           << QPoint(page.right() - fold, page.top() + fold)
           << QPoint(page.right(), page.top() + fold);
    p.setBrush(QColor(192, 192, 192));
    p.drawPolygon(corner);

    p.setPen(QColor(128, 128, 128));
    for (int y = page.top() + fold + 3; y < page.bottom() - 3; y += 3) {
        p.drawLine(page.left() + 3, y, page.right() - 4, y);
    }
}

void drawSeal(QPainter& p, const QRect& box) {
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(0, 0, 255));
    p.drawEllipse(box);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(box.height() - 4);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("P"));
}

QPixmap drawPixmap(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    drawDocument(p, QRect(2, 1, width - 8, height - 3));
    drawSeal(p, QRect(width - 17, height - 17, 16, 16));
    return pixmap;
}

}  // namespace

QPixmap programIconPixmap() {
    return drawPixmap(32, 32);
}

QIcon programIcon() {
    return QIcon(programIconPixmap());
}

QPixmap aboutLogo() {
    return drawPixmap(32, 44);
}

}  // namespace pravelo::platform::qt
