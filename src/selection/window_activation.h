#pragma once

#include "selection/selection_bus.h"

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace verz {

// org.freedesktop.Application on the window's bus object: what a desktop,
// or a second launch, calls to bring the running window back to the front,
// with the activation token the desktop gave in "activation-token".
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    ApplicationAdaptor(FrontBringer bringer, QObject *parent);

public Q_SLOTS:
    void Activate(const QVariantMap &platformData);
    void Open(const QStringList &uris, const QVariantMap &platformData);
    void ActivateAction(const QString &action, const QVariantList &parameter,
                        const QVariantMap &platformData);

private:
    FrontBringer bringer_;
};

// A launch in a Wayland session, where a window cannot be found again once
// minimised on a desktop without a task bar: a running window is asked to
// come to the front, handed this launch's activation token. True when one
// did (nothing more to do); never on X11, where each launch is a window.
bool ActivateRunningWindow();

}  // namespace verz
