#include "widgets/control_widgets.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace verz {

void ImageBox::setPicture(const QPixmap &picture)
{
    picture_ = picture;
    update();
}

void ImageBox::setStretch(bool stretch)
{
    stretch_ = stretch;
    update();
}

void ImageBox::paintEvent(QPaintEvent *)
{
    if (picture_.isNull())
        return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture_);
    } else {
        painter.drawPixmap(0, 0, picture_);
    }
}

ShapeOutline::ShapeOutline(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeOutline::setBorderColour(const QColor &colour)
{
    border_ = colour;
    update();
}

void ShapeOutline::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // At a fractional scale a control's edge can fall inside a screen pixel
    // that is only partly its own, and that pixel is clipped away: the outline
    // is drawn on the first and last screen rows and columns wholly inside.
    const qreal ratio = devicePixelRatioF();
    const QPointF origin = QPointF(mapTo(window(), QPoint(0, 0))) * ratio;
    const qreal left = std::ceil(origin.x()) - origin.x();
    const qreal top = std::ceil(origin.y()) - origin.y();
    const qreal right = std::floor(origin.x() + width() * ratio) - origin.x() - 1;
    const qreal bottom = std::floor(origin.y() + height() * ratio) - origin.y() - 1;
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    QPen pen(border_, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF box(left, top, right - left, bottom - top);
    // A tenth of the shorter side: soft corners that still hug the boxes inside.
    const qreal radius = std::min(box.width(), box.height()) / 10.0;
    painter.drawRoundedRect(box, radius, radius);
}

}  // namespace verz
