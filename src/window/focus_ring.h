#pragma once

#include <QColor>
#include <QFocusFrame>

#include <memory>

class QStyle;

namespace verz {

// The ring around whichever control of the window has the keyboard focus: a
// band in the skin's gold, one pixel of navy away from the control, drawn
// over its neighbours so the column of pair buttons shows it too. The toolkit
// style's own marks are faint on the navy face.
class FocusRing final : public QFocusFrame {
    Q_OBJECT
public:
    // The gold of the move-up arrow, 11:1 against the navy face.
    static constexpr QRgb kColour = 0xFFFFD60Au;
    static constexpr int kGap = 1;    // pixels of navy between control and ring
    static constexpr int kWidth = 2;  // the ring's own width, in pixels

    // Follows the focus among the descendants of window.
    explicit FocusRing(QWidget &window);
    ~FocusRing() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void follow(QWidget *focused);

    QWidget &window_;
    std::unique_ptr<QStyle> style_;
};

}  // namespace verz
