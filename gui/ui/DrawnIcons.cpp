#include "ui/DrawnIcons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>

namespace rm427::gui {
namespace {

// A printer on a 16-unit grid: the sheet waiting at the back, the body with
// its lamp, and the printed sheet coming out at the front. The colours are
// read from the palette at each paint, so the picture follows the colour
// scheme (and greys out with its button).
class PrinterEngine : public QIconEngine {
public:
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette pal = QApplication::palette();
        const QPalette::ColorGroup g = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        const QColor ink = pal.color(g, QPalette::ButtonText);
        const QColor body = pal.color(g, QPalette::Button);
        const QColor paper = pal.color(g, QPalette::Base);
        p->save();
        p->setRenderHint(QPainter::Antialiasing, true);
        const qreal side = std::min(rect.width(), rect.height());
        p->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        p->scale(side / 16.0, side / 16.0);
        QPen pen(ink, 1.0);
        pen.setJoinStyle(Qt::MiterJoin);
        p->setPen(pen);
        p->setBrush(paper);
        p->drawRect(QRectF(4.5, 1.5, 7, 5));  // the sheet at the back
        p->setBrush(body);
        p->drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
        p->setBrush(paper);
        p->drawRect(QRectF(4.5, 9.5, 7, 5));  // the printed sheet
        p->drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
        p->drawLine(QPointF(6, 13), QPointF(9, 13));
        p->setPen(Qt::NoPen);
        p->setBrush(mode == QIcon::Disabled ? ink : pal.color(g, QPalette::Highlight));
        p->drawEllipse(QPointF(12.3, 7.8), 0.9, 0.9);  // the lamp
        p->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }
    QIconEngine* clone() const override { return new PrinterEngine; }
};

}  // namespace

QIcon DrawnIcon(const QString& name) {
    if (name == QLatin1String("printer")) return QIcon(new PrinterEngine);
    return {};
}

}  // namespace rm427::gui
