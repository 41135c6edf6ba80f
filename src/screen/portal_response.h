#pragma once

#include <QEventLoop>
#include <QObject>
#include <QVariantMap>

namespace verz {

// Receives a portal Request's Response(u, a{sv}) signal, once; the bus
// reaches it by its slot's name.
class PortalResponse : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint response = 2;  // the portal's "ended some other way"
    QVariantMap results;
    QEventLoop loop;

public Q_SLOTS:
    void onResponse(uint code, const QVariantMap &values)
    {
        answered = true;
        response = code;
        results = values;
        loop.quit();
    }
};

}  // namespace verz
