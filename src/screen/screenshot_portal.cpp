#include "screen/screenshot_portal.h"

#include "ocr/picture_check.h"
#include "screen/portal_response.h"
#include "screen/screen_area.h"
#include "selection/portal_shortcut.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTimer>
#include <QUrl>
#include <QVariantMap>

namespace verz {

namespace {

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
constexpr int kCallTimeoutMs = 5000;

PickedArea Failed(const QString &why)
{
    PickedArea picked;
    picked.problem = why;
    return picked;
}

// The picture the portal wrote, bounded before any pixel is decoded.
PickedArea PictureAt(const QString &uri)
{
    const QUrl url(uri);
    const PictureLimits limits;
    QFile file(url.toLocalFile());
    if (!url.isLocalFile() || !file.open(QIODevice::ReadOnly) || file.size() > limits.maxFileBytes)
        return Failed(QStringLiteral("la capture du bureau est illisible"));
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > limits.maxSide || size.height() > limits.maxSide ||
        std::int64_t{size.width()} * size.height() > limits.maxPixels)
        return Failed(QStringLiteral("la capture du bureau est illisible ou trop grande"));
    PickedArea picked;
    picked.png = EnlargedPicture(reader.read(), limits);
    if (picked.png.isEmpty())
        return Failed(QStringLiteral("la capture du bureau est illisible"));
    picked.outcome = PickedArea::Outcome::Picture;
    return picked;
}

// The portal saved the capture for this request only (among the user's
// pictures, on some desktops): once read it goes, so that reading an area
// leaves no file behind. Only a plain file written since the request began:
// whatever else an answer names is left alone.
void RemoveCapture(const QString &uri, const QDateTime &asked)
{
    const QUrl url(uri);
    if (!url.isLocalFile())
        return;
    const QFileInfo file(url.toLocalFile());
    if (file.isFile() && !file.isSymLink() && file.lastModified() >= asked)
        QFile::remove(file.filePath());
}

}  // namespace

PickedArea PickAreaThroughPortal(int timeoutMs)
{
    // File times may be coarser than the clock: a second's grace.
    const QDateTime asked = QDateTime::currentDateTime().addSecs(-1);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failed(QStringLiteral("pas de bus de session pour le portail du bureau"));
    const QString token = QStringLiteral("verzolan_area");
    PortalResponse wait;
    const QString path = PortalRequestPath(token);
    bus.connect(kPortal, path, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), &wait, SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kScreenshot,
                                                       QStringLiteral("Screenshot"));
    call << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("interactive"), true},
                        {QStringLiteral("modal"), true}};
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return Failed(QStringLiteral("le portail du bureau ne propose pas de capture (") +
                      reply.errorName() + u')');
    // A portal older than the documented path names its own.
    const QString named = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!wait.answered && !named.isEmpty() && named != path)
        bus.connect(kPortal, named, QStringLiteral("org.freedesktop.portal.Request"),
                    QStringLiteral("Response"), &wait, SLOT(onResponse(uint, QVariantMap)));
    if (!wait.answered) {
        QTimer::singleShot(timeoutMs, &wait.loop, &QEventLoop::quit);
        wait.loop.exec();
    }
    if (!wait.answered)
        return Failed(QStringLiteral("le portail du bureau n’a pas répondu"));
    if (wait.response == 1) {
        PickedArea cancelled;
        cancelled.outcome = PickedArea::Outcome::Cancelled;
        return cancelled;
    }
    if (wait.response != 0)
        return Failed(QStringLiteral("le bureau a refusé la capture"));
    const QString uri = wait.results.value(QStringLiteral("uri")).toString();
    PickedArea picked = PictureAt(uri);
    RemoveCapture(uri, asked);
    return picked;
}

}  // namespace verz
