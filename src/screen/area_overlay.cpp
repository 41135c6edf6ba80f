#include "screen/area_overlay.h"

#include "screen/screen_area.h"

#include <QCursor>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace verz {

namespace {

// The grab fails while the window is not yet viewable: tried again this often.
constexpr int kGrabTries = 50;
constexpr int kGrabRetryMs = 20;

}  // namespace

AreaOverlay::AreaOverlay(QImage screen, const QRect &geometry) : screen_(std::move(screen))
{
    // Above everything, and placed by us: no window manager frames or moves it.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::BypassWindowManagerHint);
    setWindowTitle(QString::fromUtf16(kOverlayTitle));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMouseTracking(true);
    setGeometry(geometry);
}

std::optional<QRect> AreaOverlay::pick(int timeoutMs)
{
    show();
    raise();
    activateWindow();
    grabInput(kGrabTries);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, this, [this] { finish(std::nullopt); });
    deadline.start(timeoutMs);
    while (!finished_)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    releaseKeyboard();
    releaseMouse();
    hide();
    return picked_;
}

void AreaOverlay::grabInput(int triesLeft)
{
    if (finished_)
        return;
    grabKeyboard();
    grabMouse();
    // Qt says nothing of a refused grab; a keyboard grabber is known once the
    // window is viewable, so the first tries may come too early.
    if (QWidget::keyboardGrabber() != this && triesLeft > 0)
        QTimer::singleShot(kGrabRetryMs, this, [this, triesLeft] { grabInput(triesLeft - 1); });
}

void AreaOverlay::finish(std::optional<QRect> area)
{
    if (finished_)
        return;
    finished_ = true;
    picked_ = area;
}

void AreaOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(rect(), screen_);
    // The screen dimmed a little, so the user sees the overlay is there; the
    // area drawn so far shown as it is, framed.
    painter.fillRect(rect(), QColor(0, 0, 0, 60));
    if (!pressed_)
        return;
    const QRect drawn = QRect(*pressed_, pointer_).normalized();
    const qreal ratio = screen_.devicePixelRatio();
    painter.drawImage(drawn, screen_,
                      QRectF(drawn.x() * ratio, drawn.y() * ratio, drawn.width() * ratio,
                             drawn.height() * ratio));
    painter.setPen(QPen(QColor(255, 200, 0), 2));
    painter.drawRect(drawn);
}

void AreaOverlay::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        finish(std::nullopt);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = event->position().toPoint();
    pointer_ = *pressed_;
    update();
}

void AreaOverlay::mouseMoveEvent(QMouseEvent *event)
{
    pointer_ = event->position().toPoint();
    if (pressed_)
        update();
}

void AreaOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    const QRect area = AreaBetween(*pressed_, event->position().toPoint(), rect());
    pressed_.reset();
    update();
    // A click draws nothing: the user may start again.
    if (!area.isEmpty())
        finish(area);
}

void AreaOverlay::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        finish(std::nullopt);
}

PickedArea PickAreaOnScreen(int timeoutMs)
{
    PickedArea picked;
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    const QImage shot = screen == nullptr ? QImage() : screen->grabWindow(0).toImage();
    if (screen == nullptr || shot.isNull()) {
        picked.problem = QStringLiteral("impossible de lire l’écran");
        return picked;
    }
    AreaOverlay overlay(shot, screen->geometry());
    const std::optional<QRect> area = overlay.pick(timeoutMs);
    if (!area) {
        picked.outcome = PickedArea::Outcome::Cancelled;
        return picked;
    }
    picked.png = AreaPicture(shot, *area);
    picked.outcome =
        picked.png.isEmpty() ? PickedArea::Outcome::Cancelled : PickedArea::Outcome::Picture;
    return picked;
}

}  // namespace verz
