#pragma once

#include "apy/apy_documents.h"
#include "http/http_server.h"
#include "service/translator.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>

namespace verz {

class DocumentEndpoint;

// The service's text endpoints: GET /translate_t answers the result page, and
// GET / the home page for the browser (both also take a POST form, for texts
// too long for an address), POST /translate_doc a whole document, and GET
// /warm gets a pair ready for the text a window's user is typing. Each reads
// its request and writes its answer; the translation itself is the
// Translator's, or APy's document call for documents.
class TextEndpoints : public QObject {
    Q_OBJECT
public:
    struct Options {
        Translator::Options translator;
        int headTimeoutMs = 5000;   // a request head not whole by then: 408
        int idleTimeoutMs = 15000;  // a keep-alive connection with no request is closed
        int maxConnections = 512;   // past it an idle one makes way, or the new one gets 503
        DocumentTranslator::Options documents;
    };

    explicit TextEndpoints(Options options, QObject *parent = nullptr);
    ~TextEndpoints() override;

    // Port 0 picks a free one. False when the address cannot be bound.
    bool listen(const QHostAddress &address, quint16 port);
    // Serves on a socket that is already bound and listening (handed over at start).
    bool adoptListeningSocket(qintptr descriptor);
    quint16 port() const;
    QAbstractSocket::SocketError listenError() const;

    Translator &translator() { return *translator_; }
    const Translator &translator() const { return *translator_; }
    // More endpoints, beside /translate_t and /.
    HttpServer &http() { return *http_; }
    const HttpServer &http() const { return *http_; }
    // Texts and documents taken whose answer has not been written yet.
    int answersOwed() const;

Q_SIGNALS:
    // Any request at all, before it is judged.
    void requestArrived();
    // A document's answer has been written.
    void documentAnswered();

private:
    void handleTranslate(const HttpRequest &request, HttpResponder &&responder);
    void handleHome(const HttpRequest &request, HttpResponder &&responder);
    void handleWarm(const HttpRequest &request, HttpResponder &&responder);

    HttpServer *http_;
    Translator *translator_;
    DocumentEndpoint *documents_;
};

}  // namespace verz
