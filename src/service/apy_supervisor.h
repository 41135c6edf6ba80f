#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace verz {

class ApyClient;

// Keeps an APy server running as a child process on a free loopback port:
// starts it, waits until it answers /listPairs, starts it again when it dies,
// stops it (and the pipelines it started) when the service ends.
class ApySupervisor : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString modesPath = QStringLiteral("/usr/share/apertium/modes");
        int processes = 1;     // APy's -j
        int pipesPerPair = 2;  // APy's -i
        int usersPerPipe = 2;  // APy's -u: open another pipeline beyond this load
        int apyTimeoutSeconds = 8;
    };

    explicit ApySupervisor(Options options, QObject *parent = nullptr);
    ~ApySupervisor() override;

    // False when apertium-apy is not installed.
    static bool ApyInstalled();

    void start();
    void stop();
    bool isReady() const { return ready_; }
    QUrl baseUrl() const { return baseUrl_; }
    qint64 processId() const { return pid_; }

Q_SIGNALS:
    // APy answers at baseUrl; listPairsBody is its /listPairs answer.
    void ready(const QUrl &baseUrl, const QByteArray &listPairsBody);
    // APy went away; a restart follows.
    void lost();

private:
    void launch();
    void poll();
    void onFinished();
    void killGroup();

    Options options_;
    QProcess *process_ = nullptr;
    ApyClient *probe_ = nullptr;
    QTimer pollTimer_;
    QTimer restartTimer_;
    QUrl baseUrl_;
    bool ready_ = false;
    bool stopping_ = false;
    bool polling_ = false;
    int failures_ = 0;
    qint64 pid_ = 0;
};

}  // namespace verz
