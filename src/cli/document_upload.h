#pragma once

#include "cli/line_translator.h"

#include <QByteArray>
#include <QString>

namespace verz {

// The most of an answer the command reads: a translation is about the size of
// the document (at most 10 MiB) and the service's own cap on the engine's
// answer is 64 MiB; beyond it the answer is dropped unread.
inline constexpr qint64 kMaxDocumentAnswer = 64LL * 1024 * 1024;

// What the service answered for a document.
struct DocumentAnswer {
    bool reached = false;   // false: no answer at all (« Non Connecté »)
    bool tooLarge = false;  // longer than kMaxDocumentAnswer: body is empty
    int status = 0;
    QByteArray body;   // the document when 200, the service's French reason otherwise
    QString fileName;  // as the service names the translation
};

// Sends one document to the service's /translate_doc with the pair's code and
// waits for the translation (the event loop runs meanwhile). Starts the default
// service when it refuses the connection, as a text translation does.
DocumentAnswer UploadDocument(const ServiceAccess &service, const QString &pairCode,
                              const QString &fileName, const QByteArray &content, int timeoutMs);

// The name a Content-Disposition value gives (filename*, else filename), with
// any folder dropped; empty when there is none.
QString AttachmentFileName(const QByteArray &disposition);

}  // namespace verz
