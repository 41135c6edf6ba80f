#pragma once

#include "apy/apy_presence.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <utility>

class QNetworkAccessManager;

namespace verz {

// Sends whole documents through APy's document translation, leg after leg
// (what leg one writes is what leg two reads), a few at a time: the others
// wait their turn in order of arrival. A call APy fails (no answer,
// 5xx, while it restarts) is tried again while the document's deadline
// allows; one whose requester has gone is dropped before it is sent.
class DocumentTranslator : public QObject {
    Q_OBJECT
public:
    struct Options {
        int parallel = 2;        // documents at APy at once
        int timeoutMs = 120000;  // from arrival to the last leg's answer
        int retryMs = 1000;      // after a fault of APy
        qint64 maxAnswer = 64LL * 1024 * 1024;
    };
    struct Result {
        bool ok = false;
        QByteArray document;
        int status = 503;  // when not ok: what the requester is told
        QString error;     // French, for the requester
    };
    using Done = std::function<void(const Result &)>;
    using Wanted = std::function<bool()>;
    // Documents go to the servers apy has, asked at each call, so a
    // restarted APy is found where it now listens.
    DocumentTranslator(Options options, const ApyPresence &apy, QObject *parent = nullptr);
    ~DocumentTranslator() override;
    int running() const { return running_; }
    qsizetype waiting() const { return queue_.size(); }

    // apertiumFormat: `apertium -f`'s name. The bytes must stay valid until done.
    void translate(const QStringList &legs, const QByteArray &apertiumFormat,
                   const QByteArray &document, Wanted wanted, Done done);

private:
    struct Job;
    using JobPtr = std::shared_ptr<Job>;
    void pump();
    void runLeg(const JobPtr &job);
    void finish(const JobPtr &job, const Result &result);

    Options options_;
    const ApyPresence &apy_;
    QNetworkAccessManager *network_;
    int nextServer_ = 0;
    std::deque<JobPtr> queue_;
    int running_ = 0;
    QTimer wake_;  // while documents wait for APy or their turn
};

}  // namespace verz
