#include "service/document_endpoint.h"

#include "common/languages.h"
#include "docs/converter_seam.h"
#include "docs/document_repack.h"
#include "docs/language_words.h"
#include "service/document_order.h"
#include "service/private_scratch.h"
#include "service/translator.h"

#include <QPointer>
#include <QTemporaryFile>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

void WriteRefusal(HttpResponder &responder, int status, const QString &text)
{
    responder.writeText(text.toUtf8(), static_cast<Status>(status),
                        {{QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}});
}

// Accents are restored where the whole file is the text; in the other formats
// the runs lie among markup Apertium's deformatter reads, and are left alone.
bool RestoresAccents(DocumentFormat format)
{
    return format == DocumentFormat::Text;
}

}  // namespace

struct DocumentEndpoint::Work {
    std::shared_ptr<QTemporaryFile> upload;  // the mapped body the order points into
    DocumentOrder order;
    std::shared_ptr<HttpResponder> responder;
};

DocumentEndpoint::DocumentEndpoint(Translator &translator, DocumentTranslator::Options options,
                                   QObject *parent)
    : QObject(parent), translator_(translator), calls_(options, translator.apy(), this)
{
}

UploadRules DocumentEndpoint::uploadRules() const
{
    UploadRules rules;
    rules.maxBytes = kMaxUpload;
    rules.folder = PrivateScratchFolder();
    rules.tooLargeText = "Fichier trop gros : 10 Mio au plus.";
    return rules;
}

void DocumentEndpoint::handle(const HttpRequest &request, HttpResponder &&responder)
{
    Q_EMIT arrived();
    auto work = std::make_shared<Work>();
    work->upload = request.body;
    const qint64 size = work->upload->size();
    const uchar *mapped = size > 0 ? work->upload->map(0, size) : nullptr;
    if (size > 0 && !mapped) {
        WriteRefusal(responder, 503, QStringLiteral("Le service ne peut pas lire l'envoi."));
        return;
    }
    const QByteArrayView body(reinterpret_cast<const char *>(mapped), size);
    auto read = ReadDocumentOrder(request.field("Content-Type"), body, {},
                                  DocumentMemberPasses().toConverter);
    if (const DocumentRefusal *refusal = std::get_if<DocumentRefusal>(&read)) {
        WriteRefusal(responder, refusal->status, refusal->text);
        return;
    }
    work->order = std::get<DocumentOrder>(read);
    work->responder = std::make_shared<HttpResponder>(std::move(responder));
    ++owed_;
    start(work);
}

void DocumentEndpoint::start(const std::shared_ptr<Work> &work)
{
    const DocumentOrder &order = work->order;
    auto deliver = [work](const QByteArray &document) {
        work->responder->write(
            document,
            {{QByteArrayLiteral("Content-Type"), QByteArray(work->order.info.contentType)},
             {QByteArrayLiteral("Content-Disposition"), work->order.disposition},
             {QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff")},
             {QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")}},
            Status::Ok);
    };
    if (!order.hasText) {
        deliver(order.content.toByteArray());
        done(work);
        return;
    }
    if (!translator_.apy().ready()) {
        // APy is starting: wait for it as a text would, within the service's --timeout.
        translator_.apy().whenReady(
            translator_.apyTimeoutMs(), [self = QPointer(this), work](bool arrived) {
                if (!self)
                    return;
                if (arrived && work->responder->clientConnected()) {
                    self->start(work);
                    return;
                }
                WriteRefusal(*work->responder, 503,
                             QStringLiteral("Le moteur de traduction ne fonctionne pas ; "
                                            "réessayez plus tard."));
                self->done(work);
            });
        return;
    }
    const Route route = translator_.routeFor(order.source, order.target);
    if (!route.available()) {
        WriteRefusal(*work->responder, 422,
                     QStringLiteral("Cette paire de langues n'est pas installée sur ce service."));
        done(work);
        return;
    }
    // From here on only the repacked document is read: the upload as it
    // came goes to no parser but the repack's own.
    const QByteArrayView safe = order.forConverter;
    // A document in another language would come back almost as it went, a few words altered.
    const QString written = LikelyLanguage(SampleText(order.format, safe));
    if (!written.isEmpty() && written != order.source) {
        const Language *source = LanguageByCode(order.source);
        const Language *found = LanguageByCode(written);
        WriteRefusal(*work->responder, 422,
                     QStringLiteral("Ce document semble écrit en %1, pas en %2 : choisissez la "
                                    "paire qui part de sa langue.")
                         .arg(found ? found->frenchName.toLower() : written,
                              source ? source->frenchName.toLower() : order.source));
        done(work);
        return;
    }
    // The converters get what they read well, codes hidden from them (converter_seam).
    auto codes = std::make_shared<QStringList>();
    const QByteArray document = DocumentForConverter(
        order.format,
        RestoresAccents(order.format)
            ? translator_.restoreAccents(order.source, QString::fromUtf8(safe)).toUtf8()
            : order.forConverter,
        *codes);
    calls_.translate(
        route.legs, order.info.apertiumFormat, document,
        [responder = std::weak_ptr<HttpResponder>(work->responder)] {
            const auto alive = responder.lock();
            return alive && alive->clientConnected();
        },
        [this, work, deliver, codes](const DocumentTranslator::Result &result) {
            // What the converter gives back takes the same road before anyone gets it.
            // (mended is kept here: for a file that is no archive the repack's
            // answer points into it)
            Repacked back;
            QByteArray mended;
            if (result.ok && !result.document.isEmpty()) {
                mended = DocumentFromConverter(work->order.format, result.document,
                                               work->order.target, *codes);
                back = RepackDocument(work->order.format, mended,
                                      DocumentMemberPasses().fromConverter);
            }
            if (const QByteArray *document = std::get_if<QByteArray>(&back);
                document && !document->isEmpty())
                deliver(*document);
            else if (result.ok && !result.document.isEmpty())
                WriteRefusal(*work->responder, 503,
                             QStringLiteral("Le moteur a rendu un document illisible."));
            else
                WriteRefusal(*work->responder, result.ok ? 503 : result.status,
                             result.ok ? QStringLiteral("Le moteur n'a rien rendu pour ce "
                                                        "document.")
                                       : result.error);
            done(work);
        });
}

void DocumentEndpoint::done(const std::shared_ptr<Work> &work)
{
    // The answer is written: the upload and its mapping go now, not with the connection.
    work->upload.reset();
    --owed_;
    Q_EMIT answered();
}

}  // namespace verz
