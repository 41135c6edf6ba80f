#include "engine/translation_request.h"

#include "engine/page_reader.h"
#include "engine/remplace.h"
#include "engine/service_starter.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace verz {

struct TranslationRequest::Running {
    QNetworkReply *reply = nullptr;
    bool aborted = false;
};

TranslationRequest::TranslationRequest(QString serviceHost, QString scratchPath)
    : serviceHost_(std::move(serviceHost)), scratchPath_(std::move(scratchPath))
{
}

TranslationRequest::TranslationRequest(QString serviceHost, ScratchPathSource scratchPath)
    : serviceHost_(std::move(serviceHost)), scratchSource_(std::move(scratchPath))
{
}

const QString &TranslationRequest::scratchPath()
{
    if (scratchSource_) {
        scratchPath_ = scratchSource_();
        scratchSource_ = nullptr;
    }
    return scratchPath_;
}

TranslationRequest::~TranslationRequest()
{
    abort();
    *alive_ = false;
}

void TranslationRequest::setTransferLimits(int timeoutMs, qint64 maxPageBytes)
{
    timeoutMs_ = timeoutMs;
    maxPageBytes_ = maxPageBytes;
}

void TranslationRequest::translate(TranslationForm &form)
{
    if (running_)
        return;
    form.setTranslateEnabled(false);
    QString text = form.inputText();
    if (form.foldValue() == 1)
        text = FoldDiacritics(text);
    if (form.pairRow() < 0) {
        form.setTranslateEnabled(true);
        return;
    }
    const QString address = queryAddress(text, form.pairCode());

    const std::shared_ptr<bool> alive = alive_;
    form.setBusy(true);
    const bool fetched = DownloadPage(address, scratchPath());
    if (!*alive)
        return;
    form.setBusy(false);
    if (lastAborted_)
        return;
    if (fetched) {
        ReadTranslation(form);
    } else {
        form.setOutputText(QStringLiteral("Non Connecté"));
        form.setTranslateEnabled(true);
    }
}

bool TranslationRequest::DownloadPage(const QString &URL, const QString &Filename)
{
    // A second download would share the scratch file with the running one.
    if (running_)
        return false;
    lastAborted_ = false;
    hasPage_ = false;
    page_.clear();
    if (!Filename.isEmpty())
        QFile::remove(Filename);

    const QUrl url(URL, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return false;

    const std::shared_ptr<bool> alive = alive_;
    QByteArray body;
    const QDeadlineTimer deadline(timeoutMs_);
    bool whole = fetchBody(url, body, deadline);
    if (!*alive)
        return false;
    if (!whole && lastRefused_ && !lastAborted_ && starter_) {
        const std::shared_ptr<ServiceStarter> starter = starter_;
        const bool started = starter->startAndWait(deadline);
        if (!*alive)
            return false;
        lastAborted_ = starter->cancelled();
        if (started && !deadline.hasExpired()) {
            body.clear();
            whole = fetchBody(url, body, deadline);
            if (!*alive)
                return false;
        }
    }
    if (!whole)
        return false;
    // Judged by this download alone: a file another window left under the same
    // name, or a folder that refuses the file, changes nothing.
    keepPage(std::move(body), Filename);
    return true;
}

void TranslationRequest::keepPage(QByteArray page, const QString &Filename)
{
    if (!Filename.isEmpty()) {
        QSaveFile file(Filename);
        if (file.open(QIODevice::WriteOnly) && file.write(page) == page.size())
            file.commit();
    }
    page_ = std::move(page);
    hasPage_ = true;
}

bool TranslationRequest::fetchBody(const QUrl &url, QByteArray &body,
                                   const QDeadlineTimer &deadline)
{
    if (!network_)
        network_ = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    // Same or safer scheme only (http to https allowed), certificates checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);

    const std::shared_ptr<bool> alive = alive_;
    Running running;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool tooBig = false;

    QNetworkReply *reply = network_->get(request);
    running.reply = reply;
    running_ = &running;
    const auto statusOf = [reply] {
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxPageBytes_ && statusOf() / 100 == 2) {
            tooBig = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&, reply] {
        const QByteArray chunk = reply->readAll();
        if (statusOf() / 100 == 3)
            return;  // the body of a redirect that is being followed
        if (body.size() + chunk.size() > maxPageBytes_) {
            tooBig = true;
            reply->abort();
            return;
        }
        body.append(chunk);
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    timer.start(std::max<qint64>(1, deadline.remainingTime()));
    if (reply->isRunning())
        loop.exec();

    if (!*alive)
        return false;  // the owner is gone, and with it the reply
    running_ = nullptr;
    lastAborted_ = running.aborted;
    lastRefused_ = reply->error() == QNetworkReply::ConnectionRefusedError;
    if (!reply->isFinished())
        reply->abort();
    const bool whole = !running.aborted && !tooBig && reply->error() == QNetworkReply::NoError &&
                       statusOf() / 100 == 2;
    if (whole)
        body.append(reply->readAll());
    QObject::disconnect(reply, nullptr, nullptr, nullptr);
    reply->deleteLater();
    return whole && body.size() <= maxPageBytes_;
}

void TranslationRequest::ReadTranslation(TranslationForm &form)
{
    QString translation;
    QFile file(scratchPath());
    if (hasPage_) {
        // The page this request downloaded, whether or not the file could be written.
        translation = ExtractTranslation(page_);
        hasPage_ = false;
        page_.clear();
    } else if (file.open(QIODevice::ReadOnly)) {
        // Mapped rather than copied: the page can be megabytes, the cut is small.
        if (uchar *mapped = file.size() > 0 ? file.map(0, file.size()) : nullptr) {
            translation = ExtractTranslation(
                QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), file.size()));
            file.unmap(mapped);
        } else {
            translation = ExtractTranslation(file.readAll());
        }
    }
    form.appendTranslation(translation);
    form.setTranslateEnabled(true);
}

QString TranslationRequest::queryAddress(const QString &text, const QString &lang) const
{
    const QByteArray value = QUrl::toPercentEncoding(TrimSpaces(text));
    return QStringLiteral("http://") + serviceHost_ + QStringLiteral("/translate_t?text=") +
           QString::fromLatin1(value) + QStringLiteral("&langpair=") + lang;
}

bool TranslationRequest::isRunning() const
{
    return running_ != nullptr;
}

void TranslationRequest::abort()
{
    if (starter_)
        starter_->cancel();  // the window is closing: no wait for a service
    if (!running_)
        return;
    running_->aborted = true;
    running_->reply->abort();
}

QString FoldDiacritics(const QString &text)
{
    static const char16_t *const folds[][2] = {
        {u"é", u"e"}, {u"è", u"e"}, {u"ê", u"e"}, {u"ë", u"e"}, {u"à", u"a"}, {u"ô", u"o"},
        {u"ç", u"c"}, {u"ù", u"u"}, {u"î", u"i"}, {u"ï", u"i"}, {u"â", u"a"}, {u"ä", u"a"},
    };
    QString folded = text;
    for (const auto &fold : folds)
        folded =
            Remplace(folded, QString::fromUtf16(fold[0]), QString::fromUtf16(fold[1]), 1, -1, 0);
    return folded;
}

QString TrimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

}  // namespace verz
