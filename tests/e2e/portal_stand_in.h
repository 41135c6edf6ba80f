#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <QStringList>

namespace verz::e2e {

// org.freedesktop.portal.GlobalShortcuts and Screenshot as their published
// interfaces describe them, on a bus of the test's: CreateSession,
// BindShortcuts and Screenshot answer with a Request path and then its
// Response signal. It records what it was asked and can refuse (Response 1,
// as when the user declines).
class PortalStandIn : public QDBusVirtualObject {
public:
    // Connects to the bus at address and takes the portal's name.
    explicit PortalStandIn(const QString &address);
    ~PortalStandIn() override;

    bool ready() const { return ready_; }
    void setRefusing(bool refusing) { refusing_ = refusing; }

    // Calls in order ("CreateSession", "BindShortcuts"), and each bound
    // shortcut as "id=preferred trigger (description)".
    const QStringList &calls() const { return calls_; }
    const QStringList &bound() const { return bound_; }

    // The key of shortcut id pressed: Activated, if it was bound.
    void activate(const QString &id = QStringLiteral("traduire-selection"));

    // Screenshot's answer: a copy of the picture's file, as the user's
    // chosen area; the copy's path.
    void setScreenshot(const QString &path) { screenshot_ = path; }
    const QString &lastCapture() const { return lastCapture_; }

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    QString requestPath(const QDBusMessage &message, const QVariantMap &options);
    void respond(const QString &request, uint code, const QVariantMap &results);

    QDBusConnection bus_;
    bool ready_ = false;
    bool refusing_ = false;
    QString session_;
    QStringList calls_;
    QStringList bound_;
    QStringList boundIds_;
    QString screenshot_;
    QString lastCapture_;
};

}  // namespace verz::e2e
