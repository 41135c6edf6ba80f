#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

namespace verz {

// The click rule of labels and images: the control takes the mouse presses
// on it (they never reach the form, so they never start a window move) and
// reports a click when the left button is released over it.
template <class Base> class TakesClicks : public Base {
public:
    using Base::Base;

protected:
    virtual void clickedInside() = 0;

    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    // A control that takes the focus (the about panel's links) is clicked
    // from the keyboard too; a held key clicks once.
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool activates = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                               event->key() == Qt::Key_Space;
        if (!activates || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            Base::keyPressEvent(event);
            return;
        }
        event->accept();
        if (!event->isAutoRepeat())
            clickedInside();
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        if (event->button() == Qt::LeftButton && this->rect().contains(event->position().toPoint()))
            clickedInside();
    }
};

class ClickLabel : public TakesClicks<QLabel> {
    Q_OBJECT
public:
    using TakesClicks::TakesClicks;

Q_SIGNALS:
    void clicked();

private:
    void clickedInside() override { Q_EMIT clicked(); }
};

// An image control: shows its picture unscaled from the top-left corner, or
// scaled to the box when it stretches; icons come with their mask as alpha.
class ImageBox : public TakesClicks<QWidget> {
    Q_OBJECT
public:
    explicit ImageBox(QWidget *parent = nullptr) : TakesClicks(parent) {}

    // The pixmap is shared with whoever handed it over, not copied.
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return picture_; }
    void setStretch(bool stretch);
    bool stretch() const { return stretch_; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void clickedInside() override { Q_EMIT clicked(); }

    QPixmap picture_;
    bool stretch_ = false;
};

// A rounded-rectangle outline, one pixel wide, hollow. It takes no mouse
// input, so a press on it is a press on the window's surface.
class ShapeOutline : public QWidget {
    Q_OBJECT
public:
    explicit ShapeOutline(QWidget *parent = nullptr);

    void setBorderColour(const QColor &colour);
    QColor borderColour() const { return border_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor border_;
};

// A container of controls (the about panel): a frame of its own kind, so the
// tree screen readers walk can leave out what it holds only for show.
class ContainerFrame : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
};

// Never shown: keeps a copy of the skin whose pixels the window outline is
// cut from.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr) : QWidget(parent) {}

    void setPicture(const QImage &picture) { picture_ = picture; }
    const QImage &picture() const { return picture_; }

private:
    QImage picture_;
};

}  // namespace verz
