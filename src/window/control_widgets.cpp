#include "window/control_widgets.h"

#include <QPainter>

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
    painter.setPen(QPen(border_, 1));
    painter.setBrush(Qt::NoBrush);
    // A tenth of the shorter side: soft corners that still hug the boxes inside.
    const QRect box = rect().adjusted(0, 0, -1, -1);
    const qreal radius = std::min(box.width(), box.height()) / 10.0;
    painter.drawRoundedRect(box, radius, radius);
}

}  // namespace verz
