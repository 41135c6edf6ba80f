#pragma once

#include "apy/apy_documents.h"
#include "http/http_request.h"
#include "http/http_responder.h"
#include "http/upload_spool.h"

#include <QObject>

#include <memory>

namespace verz {

class Translator;

// POST /translate_doc: a form with a document and a langpair, answered with
// the translated document in the same format, named after the original.
class DocumentEndpoint : public QObject {
    Q_OBJECT
public:
    // The translator gives the route, the APy servers and the accents.
    DocumentEndpoint(Translator &translator, DocumentTranslator::Options options,
                     QObject *parent = nullptr);

    static constexpr qint64 kMaxUpload = 10 * 1024 * 1024;
    // Where and how the room reads the upload. Empty folder: no private folder could be made.
    UploadRules uploadRules() const;
    int owed() const { return owed_; }

    void handle(const HttpRequest &request, HttpResponder &&responder);

Q_SIGNALS:
    void arrived();
    void answered();

private:
    struct Work;
    void start(const std::shared_ptr<Work> &work);
    void done(const std::shared_ptr<Work> &work);

    Translator &translator_;
    DocumentTranslator calls_;
    int owed_ = 0;
};

}  // namespace verz
