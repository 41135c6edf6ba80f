#pragma once

#include <QObject>
#include <QString>

namespace verz {

// One notification through org.freedesktop.Notifications, with an action
// « Copier » that puts its text on the clipboard.
class DesktopNotification : public QObject {
    Q_OBJECT
public:
    // summary and body are plain text (escaped where the server reads markup).
    DesktopNotification(QString summary, QString body, bool offerCopy);

    // Sends it; false, with *problem set in French, when no notification
    // service answers.
    bool show(QString *problem);

    // After show(): waits until the notification is closed or its action
    // chosen (copying the text and keeping the clipboard until another
    // program takes it over), or maxWaitMs.
    void waitForUser(int maxWaitMs);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    QString summary_;
    QString body_;
    bool offerCopy_;
    uint id_ = 0;
    bool finished_ = false;
    bool copied_ = false;
};

}  // namespace verz
