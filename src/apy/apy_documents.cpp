#include "apy/apy_documents.h"

#include "apy/apy_client.h"
#include "apy/apy_log.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace verz {

struct DocumentTranslator::Job {
    QStringList legs;
    qsizetype leg = 0;
    QByteArray format;
    QByteArray document;  // the input of the current leg
    QDeadlineTimer deadline;
    Wanted wanted;
    Done done;
    bool started = false;
};

namespace {

QHttpPart FormField(const QByteArray &name, const QByteArray &value, bool file)
{
    QHttpPart part;
    QByteArray disposition = "form-data; name=\"" + name + '"';
    if (file)
        disposition += "; filename=\"document\"";
    part.setHeader(QNetworkRequest::ContentDispositionHeader, disposition);
    part.setBody(value);
    return part;
}

}  // namespace

DocumentTranslator::DocumentTranslator(Options options, const ApyPresence &apy, QObject *parent)
    : QObject(parent), options_(options), apy_(apy), network_(new QNetworkAccessManager(this))
{
    network_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    wake_.setInterval(250);
    connect(&wake_, &QTimer::timeout, this, &DocumentTranslator::pump);
}

DocumentTranslator::~DocumentTranslator() = default;

void DocumentTranslator::translate(const QStringList &legs, const QByteArray &apertiumFormat,
                                   const QByteArray &document, Wanted wanted, Done done)
{
    auto job = std::make_shared<Job>();
    job->legs = legs;
    job->format = apertiumFormat;
    job->document = document;
    job->deadline = QDeadlineTimer(options_.timeoutMs);
    job->wanted = std::move(wanted);
    job->done = std::move(done);
    queue_.push_back(job);
    pump();
}

void DocumentTranslator::pump()
{
    // The departed and the late leave the queue whatever APy does.
    for (auto it = queue_.begin(); it != queue_.end();) {
        const JobPtr job = *it;
        if (!job->wanted() || job->deadline.hasExpired()) {
            it = queue_.erase(it);
            finish(job, {false,
                         {},
                         503,
                         QStringLiteral("Le moteur de traduction n'a pas pu traiter le document "
                                        "à temps ; réessayez plus tard.")});
        } else {
            ++it;
        }
    }
    while (!queue_.empty() && running_ < options_.parallel && apy_.ready()) {
        const JobPtr job = queue_.front();
        queue_.pop_front();
        ++running_;
        job->started = true;
        runLeg(job);
    }
    if (queue_.empty())
        wake_.stop();
    else if (!wake_.isActive())
        wake_.start();
}

void DocumentTranslator::runLeg(const JobPtr &job)
{
    if (job->leg == job->legs.size()) {
        finish(job, {true, job->document, 200, {}});
        return;
    }
    if (!job->wanted()) {
        finish(job, {false, {}, 503, QStringLiteral("Demandeur parti.")});
        return;
    }
    const QList<ApyPresence::Server> &servers = apy_.servers();
    if (servers.isEmpty() || job->deadline.hasExpired()) {
        // APy is restarting: this leg waits for it, as long as the deadline allows.
        if (job->deadline.hasExpired()) {
            finish(job, {false,
                         {},
                         503,
                         QStringLiteral("Le moteur de traduction n'a pas répondu à temps ; "
                                        "réessayez plus tard.")});
            return;
        }
        QTimer::singleShot(options_.retryMs, this, [this, job] { runLeg(job); });
        return;
    }
    const auto &[base, key] = servers.at(nextServer_++ % servers.size());
    QUrl url = base;
    url.setPath(base.path() + QStringLiteral("/translateDoc"));
    QNetworkRequest request(url);
    if (!key.isEmpty())
        request.setRawHeader(kApyKeyHeader, key);
    request.setTransferTimeout(int(qMax<qint64>(1, job->deadline.remainingTime())));
    auto *form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    form->append(FormField("langpair", job->legs.at(job->leg).toUtf8(), false));
    form->append(FormField("format", job->format, false));
    form->append(FormField("file", job->document, true));
    QNetworkReply *reply = network_->post(request, form);
    form->setParent(reply);
    // A requester gone mid-conversion: the call is dropped, and with it the
    // connection whose close ends the converter and all it started.
    auto *watch = new QTimer(reply);
    watch->setInterval(250);
    connect(watch, &QTimer::timeout, reply, [reply, job] {
        if (!job->wanted())
            reply->abort();
    });
    watch->start();
    connect(reply, &QNetworkReply::downloadProgress, reply, [this, reply](qint64 received) {
        if (received > options_.maxAnswer)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, job] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 200) {
            job->document = reply->readAll();
            ++job->leg;
            runLeg(job);
            return;
        }
        const QByteArray why = reply->readAll().left(300);
        // 504: the converter ran out of its time budget; it would again.
        if ((status == 0 || status >= 500) && status != 504 &&
            job->deadline.remainingTime() > options_.retryMs) {
            QTimer::singleShot(options_.retryMs, this, [this, job] { runLeg(job); });
            return;
        }
        qCWarning(lcApy, "document leg %s: %d %s", qUtf8Printable(job->legs.at(job->leg)), status,
                  why.constData());
        if (status == 504) {
            finish(job, {false,
                         {},
                         422,
                         QStringLiteral("Document refusé : sa conversion a dépassé le temps "
                                        "imparti.")});
            return;
        }
        finish(job, {false,
                     {},
                     status >= 400 && status < 500 ? 422 : 503,
                     status >= 400 && status < 500
                         ? QStringLiteral("Le moteur de traduction a refusé ce document.")
                         : QStringLiteral("Le moteur de traduction n'a pas pu traiter le "
                                          "document ; réessayez plus tard.")});
    });
}

void DocumentTranslator::finish(const JobPtr &job, const Result &result)
{
    if (!job->done)
        return;
    const Done done = std::exchange(job->done, {});
    if (job->started) {
        --running_;
        QTimer::singleShot(0, this, &DocumentTranslator::pump);
    }
    job->document.clear();
    done(result);
}

}  // namespace verz
