#include "app/CommandIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

#include <functional>

namespace {
constexpr int kSide = 32;

// A picture drawn on a 32 x 32 grid in the window text colour, with light fills.
QIcon Drawn(const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    draw(p);
    return QIcon(pixmap);
}

// A sheet of paper with a folded corner.
void Page(QPainter& p, QRectF r)
{
    const qreal fold = r.width() / 3;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.drawPath(path);
    p.drawPolyline(
        QPolygonF({{r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}}));
}
}  // namespace

namespace CommandIcons {

QIcon Cut(const QStyle&)
{
    return Drawn([](QPainter& p) {
        p.drawLine(QPointF(9, 4), QPointF(21, 22));  // the blades cross
        p.drawLine(QPointF(23, 4), QPointF(11, 22));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8, 25), 4.5, 4.5);  // the handles
        p.drawEllipse(QPointF(24, 25), 4.5, 4.5);
    });
}

QIcon Copy(const QStyle&)
{
    return Drawn([](QPainter& p) {
        Page(p, QRectF(4, 3, 16, 20));
        Page(p, QRectF(12, 9, 16, 20));
    });
}

QIcon Paste(const QStyle&)
{
    return Drawn([](QPainter& p) {
        p.setBrush(QColor(205, 170, 110));
        p.drawRoundedRect(QRectF(5, 5, 18, 24), 2, 2);  // the board
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(10, 2, 8, 6), 1.5, 1.5);  // its clip
        p.setBrush(Qt::white);
        Page(p, QRectF(14, 12, 14, 18));
    });
}

QIcon Print(const QStyle&)
{
    return Drawn([](QPainter& p) {
        Page(p, QRectF(9, 3, 14, 12));                 // the paper going in
        p.setBrush(QColor(190, 190, 190));
        p.drawRoundedRect(QRectF(3, 13, 26, 11), 2, 2);  // the printer
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));               // the paper coming out
    });
}

QIcon Rules(const QStyle&)
{
    return Drawn([](QPainter& p) {
        Page(p, QRectF(5, 2, 22, 28));
        for (const qreal y : {12.0, 17.0, 22.0})  // the lines of the text
            p.drawLine(QPointF(10, y), QPointF(y == 17.0 ? 18 : 22, y));
    });
}

QIcon MarkLevelInvalid(const QStyle&)
{
    return Drawn([](QPainter& p) {
        p.drawRect(QRectF(3, 8, 26, 16));  // a cell
        p.setPen(QPen(QColor(165, 55, 55), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath tilde;  // the "~" before an invalid level
        tilde.moveTo(8, 17);
        tilde.cubicTo(11, 11, 14, 13, 16, 16);
        tilde.cubicTo(18, 19, 21, 21, 24, 15);
        p.drawPath(tilde);
    });
}
}  // namespace CommandIcons
