#include "cli/document_upload.h"

#include "engine/service_starter.h"

#include <QEventLoop>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace verz {

namespace {

QHttpPart Field(const QByteArray &disposition, const QByteArray &body)
{
    QHttpPart part;
    part.setRawHeader("Content-Disposition", disposition);
    part.setBody(body);
    return part;
}

// The file's name as RFC 7578 sends it: in quotes, a quote or a backslash escaped.
QByteArray QuotedName(const QString &name)
{
    QByteArray quoted = name.toUtf8();
    quoted.replace('\\', "\\\\").replace('"', "\\\"").replace('\r', ' ').replace('\n', ' ');
    return '"' + quoted + '"';
}

DocumentAnswer PostOnce(const ServiceAccess &service, const QString &pairCode,
                        const QString &fileName, const QByteArray &content,
                        const QDeadlineTimer &deadline, bool *refused)
{
    QNetworkAccessManager network;
    QNetworkRequest request(
        QUrl(QStringLiteral("http://") + service.host + QStringLiteral("/translate_doc")));
    request.setTransferTimeout(int(qMax<qint64>(1, deadline.remainingTime())));
    auto *form = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    form->append(Field("form-data; name=\"langpair\"", pairCode.toUtf8()));
    form->append(Field("form-data; name=\"file\"; filename=" + QuotedName(fileName), content));
    QNetworkReply *reply = network.post(request, form);
    form->setParent(reply);
    bool tooLarge = false;
    // Said in advance or found while it comes: either way no more is read.
    auto capped = [reply, &tooLarge](qint64 received) {
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (received > kMaxDocumentAnswer || announced > kMaxDocumentAnswer) {
            tooLarge = true;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [capped] { capped(0); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, capped);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    DocumentAnswer answer;
    *refused = reply->error() == QNetworkReply::ConnectionRefusedError;
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.reached = answer.status != 0;
    answer.tooLarge = tooLarge;
    if (!tooLarge)
        answer.body = reply->readAll();
    answer.fileName = AttachmentFileName(reply->rawHeader("Content-Disposition"));
    reply->deleteLater();
    return answer;
}

}  // namespace

QString AttachmentFileName(const QByteArray &disposition)
{
    QString name;
    const qsizetype extended = disposition.indexOf("filename*=UTF-8''");
    if (extended >= 0) {
        QByteArray value = disposition.mid(extended + 17);
        value.truncate(value.indexOf(';') < 0 ? value.size() : value.indexOf(';'));
        name = QString::fromUtf8(QByteArray::fromPercentEncoding(value.trimmed()));
    } else {
        const qsizetype plain = disposition.indexOf("filename=\"");
        if (plain < 0)
            return {};
        const qsizetype end = disposition.indexOf('"', plain + 10);
        if (end < 0)
            return {};
        name = QString::fromUtf8(disposition.mid(plain + 10, end - plain - 10));
    }
    // A name is only a name: never a way into another folder.
    name = name.sliced(qMax(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1);
    if (name == u"." || name == u"..")
        return {};
    return name;
}

DocumentAnswer UploadDocument(const ServiceAccess &service, const QString &pairCode,
                              const QString &fileName, const QByteArray &content, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    bool refused = false;
    DocumentAnswer answer = PostOnce(service, pairCode, fileName, content, deadline, &refused);
    if (!answer.reached && refused && service.starter && service.starter->startAndWait(deadline))
        answer = PostOnce(service, pairCode, fileName, content, deadline, &refused);
    return answer;
}

}  // namespace verz
