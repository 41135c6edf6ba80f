#pragma once

#include <QDBusObjectPath>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

namespace verz {

// The desktop's trigger text for a key written as Qt's portable text:
// "Ctrl+Alt+Y" becomes "CTRL+ALT+y". Empty for what it cannot express.
QString PortalTrigger(const QString &keys);

// The path of the Request object a portal call with handle_token token
// answers on: the caller's unique name without its colon, dots as underscores.
QString PortalRequestPath(const QString &token);

// One key asked of the portal: its id, what the desktop shows for it, the
// wanted key as Qt's portable text ("none" or empty: not asked), and what
// its press does.
struct PortalBinding {
    QString id;
    QString description;
    QString keys;
    std::function<void()> pressed;
};

// The keys of a Wayland session, where no program may grab keys: asked of
// the desktop's GlobalShortcuts portal (CreateSession, then one BindShortcuts
// with each wanted key as its preferred trigger; the desktop may choose
// others or ask the user). Each Activated of a bound key calls its press.
class PortalShortcut : public QObject {
    Q_OBJECT
public:
    explicit PortalShortcut(QList<PortalBinding> bindings, QObject *parent = nullptr);

    // Starts the binding and returns. Where there is no portal, or it
    // refuses, says so in one line on standard error; the window works on
    // without the keys.
    void bind();

    bool bound() const { return bound_; }

private Q_SLOTS:
    void onSessionResponse(uint response, const QVariantMap &results);
    void onBindResponse(uint response, const QVariantMap &results);
    void onActivated(const QDBusObjectPath &session, const QString &shortcut, qulonglong timestamp,
                     const QVariantMap &options);

private:
    bool awaitResponse(const QString &path, const char *slot);
    void giveUp(const QString &why);

    QList<PortalBinding> bindings_;
    QString session_;
    QString awaited_;
    bool bound_ = false;
};

}  // namespace verz
