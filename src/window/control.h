#pragma once

#include "shape/redimensionne.h"
#include "window/control_table.h"
#include "window/twips.h"

#include <QString>

class QWidget;

namespace verz {

// One control of the window: its name, array index, kind, widget and its
// geometry in twips. Geometry reaches the widget only through the twips layer.
class Control : public ResizableControl {
public:
    Control(const ControlEntry &entry, int index, QWidget *widget, const TwipsLayer &twips);

    const QString &name() const { return name_; }
    int index() const { return index_; }
    ControlKind kind() const { return kind_; }
    QWidget *widget() const { return widget_; }
    bool selfSizing() const { return selfSizing_; }
    int tabIndex() const { return tabIndex_; }
    // "Text1", or "Option1_3" for an element of a control array.
    QString objectName() const;

    float left() const { return left_; }
    float top() const { return top_; }
    float width() const { return width_; }
    float height() const { return height_; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void setGeometry(float left, float top, float width, float height);
    bool hasFont() const;

    // A self-sizing label takes the size of its text in its current font.
    void sizeToText();

    std::optional<float> property(ControlProperty which) const override;
    bool setProperty(ControlProperty which, float value) override;

private:
    void apply();

    QString name_;
    int index_;
    ControlKind kind_;
    QWidget *widget_;
    const TwipsLayer &twips_;
    bool selfSizing_;
    int tabIndex_;
    float left_;
    float top_;
    float width_;
    float height_;
};

QString ControlObjectName(const QString &name, int index);

}  // namespace verz
