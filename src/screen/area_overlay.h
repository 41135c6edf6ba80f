#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <optional>

namespace verz {

// The title the overlay's window carries, for the desktop and for tests.
inline constexpr char16_t kOverlayTitle[] = u"Verzolan : zone à traduire";

// A window over the whole screen showing it as it was grabbed, on which the
// user draws the rectangle to read: the press and the release of the left
// button give its corners; Escape or the right button cancels. It takes the
// keyboard and pointer while shown, so no other program hears them.
class AreaOverlay : public QWidget {
public:
    // screen: the grabbed picture; geometry: where it lies, in the desktop's
    // logical pixels.
    AreaOverlay(QImage screen, const QRect &geometry);

    // Shows the overlay and waits for the rectangle (in the picture's
    // logical pixels), or nothing once cancelled or after timeoutMs; the
    // overlay is hidden on return.
    std::optional<QRect> pick(int timeoutMs);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finish(std::optional<QRect> area);
    void grabInput(int triesLeft);

    QImage screen_;
    std::optional<QPoint> pressed_;
    QPoint pointer_;
    std::optional<QRect> picked_;
    bool finished_ = false;
};

// X11: the screen under the pointer grabbed and the overlay shown on it; the
// area's picture made ready for reading (see AreaPicture), or nothing when
// cancelled or nothing could be grabbed.
struct PickedArea {
    enum class Outcome { Picture, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QByteArray png;
    QString problem;  // for Failed, in French
};
PickedArea PickAreaOnScreen(int timeoutMs);

}  // namespace verz
