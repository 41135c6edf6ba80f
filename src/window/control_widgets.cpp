#include "window/control_widgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace verz {

namespace {
bool releasedInside(const QWidget &widget, const QMouseEvent &event)
{
    return event.button() == Qt::LeftButton && widget.rect().contains(event.position().toPoint());
}
}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (releasedInside(*this, *event))
        Q_EMIT clicked();
}

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

void ImageBox::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void ImageBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (releasedInside(*this, *event))
        Q_EMIT clicked();
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
