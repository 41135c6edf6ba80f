#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>

namespace verz {

class ApyClient;

// Keeps an APy server running as a child process on a free loopback port:
// starts it, waits until it answers /listPairs, keeps asking that while it
// runs and kills it when it stops answering (frozen), starts it again when it
// dies, stops it (and the pipelines it started) when the service ends.
//
// Only the service may use it: it serves nothing but /listPairs and
// /translate, and only to callers that send the key it was started with.
class ApySupervisor : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString modesPath = QStringLiteral("/usr/share/apertium/modes");
        int processes = 1;     // APy's -j
        int pipesPerPair = 2;  // APy's -i
        int usersPerPipe = 2;  // APy's -u: open another pipeline beyond this load
        // APy's -t: a pipeline that takes longer over a text is "stuck" and
        // restarted. Past the service's own deadline, so that a pipeline still
        // starting on a busy machine is never killed while a text waits for it.
        int apyTimeoutSeconds = 17;
        int watchIntervalMs = 1000;   // a running APy is asked this often
        int watchDeadlineMs = 1000;   // and must answer within this
        int watchMisses = 2;          // unanswered in a row by a stopped APy: it is frozen
        int busyLimitMs = 20000;      // unanswered this long by a running one: it is wedged
        int startLimitMs = 30000;     // not answering by then: start afresh
        int pipelineIdleSeconds = 0;  // APy's -m: shut pipelines unused this long (0: never)
        QString tempFolder;           // its TMPDIR, for documents (empty: the system's)
        // A document converter still running after this is killed with all
        // it started: a 10,000-word document takes a few seconds on a loaded
        // machine, and one leg gets at most half a document's 120 s.
        int converterSeconds = 60;
    };

    explicit ApySupervisor(Options options, QObject *parent = nullptr);
    ~ApySupervisor() override;

    // False when apertium-apy is not installed.
    static bool ApyInstalled();

    void start();
    void stop();
    bool isReady() const { return ready_; }
    QUrl baseUrl() const { return baseUrl_; }
    // What the current APy wants in the kApyKeyHeader of each call.
    QByteArray accessKey() const { return accessKey_; }
    qint64 processId() const { return pid_; }
    // Starts that failed since it last answered.
    int failuresInARow() const { return failures_; }

Q_SIGNALS:
    // APy answers at baseUrl; listPairsBody is its /listPairs answer.
    void ready(const QUrl &baseUrl, const QByteArray &listPairsBody);
    // APy went away; a restart follows.
    void lost();

private:
    void launch();
    void poll();
    void watch();
    void onFinished();
    void killGroup();

    Options options_;
    QProcess *process_ = nullptr;
    ApyClient *probe_ = nullptr;
    QTimer pollTimer_;
    QTimer watchTimer_;
    QTimer restartTimer_;
    QElapsedTimer sinceLaunch_;
    QUrl baseUrl_;
    QByteArray accessKey_;
    bool ready_ = false;
    bool stopping_ = false;
    bool polling_ = false;
    bool watching_ = false;
    int misses_ = 0;
    QElapsedTimer missingSince_;  // the first of the misses in a row
    int failures_ = 0;
    qint64 pid_ = 0;
};

}  // namespace verz
