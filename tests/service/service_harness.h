#pragma once

#include "docs/multipart_form.h"
#include "docs/zip_inspector.h"
#include "docs/zip_packer.h"
#include "http_answer.h"
#include "stand_in_server.h"
#include "toolkit.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

#include <functional>

namespace verz::test {

// An APy stand-in: /listPairs gives the recorded list, /translate answers
// "[langpair]" followed by the text of each block it is sent, so a test sees
// which legs a request took. Like APy, it translates only the first
// kWholeLimit characters of what it gets and silently drops the rest.
class FakeApy {
public:
    // MergeBlocks: runs the blocks of a batch together into one, as a
    // deformatter that does not keep them apart would.
    enum class Mode { Translate, ServerError, MergeBlocks };
    static constexpr qsizetype kWholeLimit = 10000;

    explicit FakeApy(const QByteArray &listPairs)
    {
        port = server_.port();
        server_.setKeepAlive(true);
        StandInServer::Script json;
        json.contentType = QByteArrayLiteral("application/json");
        json.body = listPairs;
        server_.setRoute(QByteArrayLiteral("/listPairs"), json);
        server_.setRoute(QByteArrayLiteral("/translate"), json,
                         [this](const StandInServer::Received &request,
                                StandInServer::Script &answer) { translate(request, answer); });
        StandInServer::Script document;
        document.contentType = QByteArrayLiteral("application/octet-stream");
        server_.setRoute(
            QByteArrayLiteral("/translateDoc"), document,
            [this](const StandInServer::Received &request, StandInServer::Script &answer) {
                translateDocument(request, answer);
            });
    }

    QUrl url() const { return server_.root(); }

    Mode mode = Mode::Translate;
    int documentCalls = 0;
    int documentFailures = 0;  // document calls to answer 500 first
    int restartingCalls = 0;   // /translate calls to answer 503 first, as APy restarting a pipeline
    QByteArrayList documentFormats;
    int translateCalls = 0;
    QString markUnknownSeen;
    QStringList langpairsSeen;  // one a call, in the order they came
    quint16 port = 0;

private:
    // Documents come back as "[langpair]" and the file, so each leg's input
    // shows; in an archive, before each of its XML members.
    void translateDocument(const StandInServer::Received &request, StandInServer::Script &answer)
    {
        ++documentCalls;
        if (mode == Mode::ServerError || documentFailures > 0) {
            documentFailures = qMax(0, documentFailures - 1);
            answer.status = 500;
            return;
        }
        QByteArray type;
        for (const QByteArray &line : request.headers.split('\n'))
            if (line.toLower().startsWith("content-type:"))
                type = line.mid(13).trimmed();
        const auto form = ParseMultipartForm(type, request.body);
        const MultipartForm &parts = std::get<MultipartForm>(form);
        documentFormats.append(parts.find("format")->data.toByteArray());
        const QByteArray mark = '[' + parts.find("langpair")->data.toByteArray() + ']';
        const QByteArrayView file = parts.find("file")->data;
        if (!file.startsWith("PK")) {
            answer.body = mark + file.toByteArray();
            return;
        }
        ZipPacker packer;
        UnpackZip(file, [&](const ZipEntry &entry, const QByteArray &content) {
            packer.add(entry.rawName, entry.name.endsWith(u".xml") ? mark + content : content,
                       entry.name == u"mimetype");
            return true;
        });
        answer.body = packer.finish();
    }

    void translate(const StandInServer::Received &request, StandInServer::Script &answer)
    {
        ++translateCalls;
        if (restartingCalls > 0) {
            --restartingCalls;
            answer.status = 503;
            answer.body = QByteArrayLiteral(
                R"({"status": "error", "code": 503, "message": "Service Unavailable", )"
                R"("explanation": "internal error"})");
            return;
        }
        if (mode == Mode::ServerError) {
            answer.status = 500;
            answer.body = QByteArrayLiteral(R"({"status": "error", "code": 500})");
            return;
        }
        const QUrlQuery form(QString::fromUtf8(request.body));
        const QString langpair =
            form.queryItemValue(QStringLiteral("langpair"), QUrl::FullyDecoded);
        QString text =
            form.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded).left(kWholeLimit);
        markUnknownSeen = form.queryItemValue(QStringLiteral("markUnknown"));
        langpairsSeen.append(langpair);
        const QString mark = QLatin1Char('[') + langpair + QLatin1Char(']');
        if (!text.startsWith(u"<p>")) {
            text.prepend(mark);
        } else {
            if (mode == Mode::MergeBlocks)
                text.replace(QStringLiteral("</p><p>"), QStringLiteral(" "));
            text.replace(QStringLiteral("<p>"), QStringLiteral("<p>") + mark);
        }
        const QJsonObject data{{QStringLiteral("translatedText"), text}};
        answer.body = QJsonDocument(QJsonObject{{QStringLiteral("responseData"), data},
                                                {QStringLiteral("responseStatus"), 200}})
                          .toJson(QJsonDocument::Compact);
    }

    StandInServer server_;
};

// One keep-alive client connection speaking raw bytes, so tests can send
// what no well-behaved client would.
class RawClient {
public:
    using Response = HttpAnswer;

    explicit RawClient(quint16 port) { socket_.connectToHost(QHostAddress::LocalHost, port); }

    QTcpSocket &socket() { return socket_; }

    // Sends the bytes and calls done with the answer (or status 0).
    void send(const QByteArray &bytes, std::function<void(const Response &)> done)
    {
        buffer_.clear();
        done_ = std::move(done);
        QObject::disconnect(&socket_, nullptr, nullptr, nullptr);
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
            buffer_ += socket_.readAll();
            tryFinish(false);
        });
        QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_,
                         [this] { tryFinish(true); });
        socket_.write(bytes);
    }

    Response exchange(const QByteArray &bytes, int limitMs = 20000)
    {
        Response result;
        bool finished = false;
        send(bytes, [&](const Response &response) {
            result = response;
            finished = true;
        });
        WaitUntil([&] { return finished; }, limitMs);
        return result;
    }

    static QByteArray Get(const QByteArray &target)
    {
        return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    }

private:
    void tryFinish(bool closed)
    {
        if (!done_)
            return;
        std::optional<HttpAnswer> answer = TakeHttpAnswer(buffer_, closed);
        if (!answer && !closed)
            return;
        auto done = std::move(done_);
        done_ = nullptr;
        done(answer.value_or(HttpAnswer()));
    }

    QTcpSocket socket_;
    QByteArray buffer_;
    std::function<void(const Response &)> done_;
};

// Everything one connection receives for the bytes sent, cut into answers.
struct Conversation {
    QList<HttpAnswer> answers;
    bool closedByService = false;
};

inline Conversation Converse(quint16 port, const QByteArray &bytes, int limitMs = 10000)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(bytes);
    QByteArray received;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket,
                     [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [&] { closed = true; });
    WaitUntil([&] { return closed; }, limitMs);
    received += socket.readAll();
    Conversation conversation;
    conversation.closedByService = closed;
    while (std::optional<HttpAnswer> answer = TakeHttpAnswer(received, true))
        conversation.answers.append(*answer);
    return conversation;
}

inline QByteArray TranslateTarget(const QString &text, const char *langpair)
{
    return "/translate_t?text=" + QUrl::toPercentEncoding(text) +
           "&langpair=" + QByteArray(langpair);
}

}  // namespace verz::test
