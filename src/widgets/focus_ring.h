#pragma once

#include <QColor>
#include <QFocusFrame>

#include <memory>

class QStyle;

namespace verz {

// The ring around whichever control of the window has the keyboard focus: a
// band in the skin's gold between two lines of the skin's navy, drawn over its
// neighbours so the column of pair buttons shows it too. On the navy face the
// navy lines vanish and the gold shows; on the white of the service's logo the
// navy lines hold the contrast. The toolkit style's own marks are faint on the
// navy face.
class FocusRing final : public QFocusFrame {
    Q_OBJECT
public:
    // The gold of the move-up arrow, 11:1 against the navy face.
    static constexpr QRgb kColour = 0xFFFFD60Au;
    static constexpr QRgb kEdgeColour = 0xFF000080u;  // the skin's navy
    static constexpr int kEdge = 1;                   // navy on each side of the gold, pixels
    static constexpr int kGold = 2;                   // the gold band, pixels
    static constexpr int kMargin = kEdge + kGold + kEdge;

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
