#pragma once

#include <QDBusObjectPath>
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

// The key that translates the selection in a Wayland session, where no
// program may grab keys: asked of the desktop's GlobalShortcuts portal
// (CreateSession, then BindShortcuts with the wanted key as the preferred
// trigger; the desktop may choose another or ask the user). Each Activated
// of it calls back.
class PortalShortcut : public QObject {
    Q_OBJECT
public:
    explicit PortalShortcut(std::function<void()> pressed, QObject *parent = nullptr);

    // Starts the binding and returns; "none" or an empty text binds nothing.
    // Where there is no portal, or it refuses, says so in one line on
    // standard error; the window works on without the key.
    void bind(const QString &keys);

    bool bound() const { return bound_; }

private Q_SLOTS:
    void onSessionResponse(uint response, const QVariantMap &results);
    void onBindResponse(uint response, const QVariantMap &results);
    void onActivated(const QDBusObjectPath &session, const QString &shortcut, qulonglong timestamp,
                     const QVariantMap &options);

private:
    bool awaitResponse(const QString &path, const char *slot);
    void giveUp(const QString &why);

    std::function<void()> pressed_;
    QString trigger_;
    QString session_;
    QString awaited_;
    bool bound_ = false;
};

}  // namespace verz
