#pragma once

#include "libre/libre_client.h"
#include "libre/libre_fault.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <array>
#include <deque>
#include <functional>
#include <memory>

namespace verz {

// A LibreTranslate server in front of the service's own engines.
//
// It takes a pair only when the pair was chosen, the server lists it, and the
// server is not resting: after a fault that says the server is unwell, its
// pairs go the usual way until a look at /languages finds it answering again
// (after 5 s, then twice as long each time it still fails, up to 5 min).
// Texts for one pair that arrive while that pair's calls are busy wait and go
// together in one call, as a list. Each fault is counted, and written to the
// log once until a translation succeeds again; the API key never is.
class LibreEngine : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl base;
        QByteArray apiKey;
        QSet<QString> pairs;  // "de|fr"; empty: every pair
        int callsPerPair = 2;
        int maxBatchTexts = 32;
        qsizetype maxBatchChars = 128 * 1024;
        int languagesTimeoutMs = 3000;
        int refreshMs = 10 * 60 * 1000;  // /languages read again
        int firstRestMs = 5000;
        int longestRestMs = 5 * 60 * 1000;
    };
    struct Result {
        bool ok = false;
        QString text;
        LibreFault fault = LibreFault::None;
    };
    using Done = std::function<void(const Result &)>;
    using Wanted = std::function<bool()>;
    // Faults come as QtWarningMsg, the rest as QtInfoMsg.
    using Log = std::function<void(QtMsgType, const QString &)>;

    explicit LibreEngine(Options options, QObject *parent = nullptr);
    ~LibreEngine() override;

    // Reads /languages; until it answers no pair is taken.
    void start();
    void setLog(Log log) { log_ = std::move(log); }

    bool takes(const QString &source, const QString &target) const;
    // done runs exactly once, never inside this call: with the translation,
    // or with a fault when the server fails, the time limit passes, or
    // wanted() says no before the text is sent.
    void translate(const QString &source, const QString &target, const QString &text,
                   QDeadlineTimer timeLimit, Wanted wanted, Done done);

    int faults(LibreFault fault) const { return faults_.at(size_t(fault)); }
    int translated() const { return translated_; }

private:
    struct Job {
        QString text;
        QDeadlineTimer timeLimit;
        Wanted wanted;
        Done done;
        bool finished = false;
    };
    using JobPtr = std::shared_ptr<Job>;
    struct Lane {
        std::deque<JobPtr> waiting;
        int calls = 0;
    };

    static void Finish(const JobPtr &job, const Result &result);
    void pump(const QString &pair);
    void send(const QString &pair, std::vector<JobPtr> batch);
    void answered(const QString &pair, const std::vector<JobPtr> &batch, const LibreAnswer &answer);
    void readLanguages();
    void fault(LibreFault fault, int httpStatus, const QString &serverError);
    void rest();
    void say(QtMsgType type, const QString &line) const;

    Options options_;
    LibreClient *client_;
    QHash<QString, Lane> lanes_;
    QSet<QString> served_;
    bool languagesKnown_ = false;
    bool resting_ = false;
    int restMs_;
    QTimer nextLook_;  // the next read of /languages
    std::array<int, kLibreFaultCount> faults_{};
    std::array<bool, kLibreFaultCount> logged_{};
    bool anyLogged_ = false;
    int translated_ = 0;
    Log log_;
};

}  // namespace verz
