#pragma once

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace verz {

// A label takes the mouse presses on it (they never reach the form, so they
// never start a window move) and reports a click when released over it.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// An image control: shows its picture unscaled from the top-left corner, or
// scaled to the box when it stretches; icons come with their mask as alpha.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    explicit ImageBox(QWidget *parent = nullptr) : QWidget(parent) {}

    // The pixmap is shared with whoever handed it over, not copied.
    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return picture_; }
    void setStretch(bool stretch);
    bool stretch() const { return stretch_; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
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
