#pragma once

#include "cli/line_translator.h"

#include <QByteArray>
#include <QString>

namespace verz {

// What the service answered for a document.
struct DocumentAnswer {
    bool reached = false;  // false: no answer at all (« Non Connecté »)
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
