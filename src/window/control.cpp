#include "window/control.h"

#include <QWidget>

namespace verz {

QString ControlObjectName(const QString &name, int index)
{
    if (index < 0)
        return name;
    return name + QLatin1Char('_') + QString::number(index);
}

Control::Control(const ControlEntry &entry, int index, QWidget *widget, const TwipsLayer &twips)
    : name_(QString::fromUtf16(entry.name)), index_(index), kind_(entry.kind), widget_(widget),
      twips_(twips), selfSizing_(entry.autoSize), tabIndex_(entry.tabIndex), left_(entry.left),
      top_(entry.top), width_(entry.width), height_(entry.height)
{
    widget_->setObjectName(objectName());
    apply();
}

QString Control::objectName() const
{
    return ControlObjectName(name_, index_);
}

void Control::setLeft(float twips)
{
    left_ = twips;
    apply();
}

void Control::setTop(float twips)
{
    top_ = twips;
    apply();
}

void Control::setWidth(float twips)
{
    width_ = twips;
    apply();
}

void Control::setHeight(float twips)
{
    height_ = twips;
    apply();
}

void Control::setGeometry(float left, float top, float width, float height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    apply();
}

bool Control::hasFont() const
{
    return kind_ != ControlKind::Image && kind_ != ControlKind::Shape &&
           kind_ != ControlKind::PictureBox;
}

void Control::sizeToText()
{
    if (!selfSizing_)
        return;
    const QSize text = widget_->sizeHint();
    width_ = twips_.toTwips(text.width());
    height_ = twips_.toTwips(text.height());
    apply();
}

std::optional<float> Control::property(ControlProperty which) const
{
    switch (which) {
    case ControlProperty::Left:
        return left_;
    case ControlProperty::Top:
        return top_;
    case ControlProperty::Width:
        return width_;
    case ControlProperty::Height:
        return height_;
    case ControlProperty::FontSize:
        if (!hasFont())
            return std::nullopt;
        return static_cast<float>(widget_->font().pointSizeF());
    }
    return std::nullopt;
}

bool Control::setProperty(ControlProperty which, float value)
{
    switch (which) {
    case ControlProperty::Left:
        setLeft(value);
        return true;
    case ControlProperty::Top:
        setTop(value);
        return true;
    case ControlProperty::Width:
        setWidth(value);
        return true;
    case ControlProperty::Height:
        setHeight(value);
        return true;
    case ControlProperty::FontSize: {
        if (!hasFont() || !(value > 0.0f))
            return false;
        QFont font = widget_->font();
        font.setPointSizeF(value);
        widget_->setFont(font);
        sizeToText();
        return true;
    }
    }
    return false;
}

void Control::apply()
{
    widget_->setGeometry(twips_.toPixels(left_, top_, width_, height_));
}

}  // namespace verz
