#include "ui/StatusLamp.h"

#include <QPainter>

namespace kzm {

StatusLamp::StatusLamp(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {
    setObjectName(QStringLiteral("shStatus"));
    setFixedSize(26, 26);
}

void StatusLamp::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void StatusLamp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(colour_);
    p.drawEllipse(rect().adjusted(2, 2, -2, -2));
}

} // namespace kzm
