#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QJsonObject>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <memory>

namespace verz::test {

// Runs the event loop until done() holds; the limit only keeps a broken test
// from hanging the suite, it asserts nothing about speed.
inline bool SpinUntil(const std::function<bool()> &done, int limitMs = 20000)
{
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    tick.start(1);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(limitMs);
    if (!done())
        loop.exec();
    return done();
}

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

    explicit FakeApy(const QByteArray &listPairs) : listPairs_(listPairs)
    {
        http_.route(QStringLiteral("/listPairs"),
                    [this] { return QHttpServerResponse("application/json", listPairs_); });
        http_.route(QStringLiteral("/translate"), [this](const QHttpServerRequest &request) {
            ++translateCalls;
            if (mode == Mode::ServerError)
                return QHttpServerResponse("application/json",
                                           QByteArrayLiteral(R"({"status": "error", "code": 500})"),
                                           QHttpServerResponse::StatusCode::InternalServerError);
            const QUrlQuery form(QString::fromUtf8(request.body()));
            const QString langpair =
                form.queryItemValue(QStringLiteral("langpair"), QUrl::FullyDecoded);
            const QString text =
                form.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded).left(kWholeLimit);
            markUnknownSeen = form.queryItemValue(QStringLiteral("markUnknown"));
            langpairsSeen.append(langpair);
            QJsonObject data{{QStringLiteral("translatedText"), translate(langpair, text)}};
            QJsonObject answer{{QStringLiteral("responseData"), data},
                               {QStringLiteral("responseStatus"), 200}};
            return QHttpServerResponse(answer);
        });
        port = http_.listen(QHostAddress::LocalHost, 0);
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)); }

    Mode mode = Mode::Translate;
    int translateCalls = 0;
    QString markUnknownSeen;
    QStringList langpairsSeen;  // one a call, in the order they came
    quint16 port = 0;

private:
    QString translate(const QString &langpair, QString text) const
    {
        const QString mark = QLatin1Char('[') + langpair + QLatin1Char(']');
        if (!text.startsWith(u"<p>"))
            return mark + text;
        if (mode == Mode::MergeBlocks)
            text.replace(QStringLiteral("</p><p>"), QStringLiteral(" "));
        return text.replace(QStringLiteral("<p>"), QStringLiteral("<p>") + mark);
    }

    QByteArray listPairs_;
    QHttpServer http_;
};

// Accepts connections and reads them, never answers: an APy that hangs.
class SilentServer {
public:
    SilentServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    requests += int(socket->readAll().count("POST "));
                });
        });
    }
    int requests = 0;  // request lines seen
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()));
    }

private:
    QTcpServer server_;
};

// One keep-alive client connection speaking raw bytes, so tests can send
// what no well-behaved client would.
class RawClient {
public:
    struct Response {
        int status = 0;   // 0: connection closed without an answer
        QByteArray head;  // status line and header fields
        QByteArray body;
    };

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

    Response exchange(const QByteArray &bytes)
    {
        Response result;
        bool finished = false;
        send(bytes, [&](const Response &response) {
            result = response;
            finished = true;
        });
        SpinUntil([&] { return finished; });
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
        const qsizetype headEnd = buffer_.indexOf("\r\n\r\n");
        Response response;
        if (headEnd >= 0) {
            const QByteArray head = buffer_.left(headEnd);
            response.head = head;
            response.status = head.mid(9, 3).toInt();
            qsizetype length = -1;
            for (const QByteArray &line : head.split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            const QByteArray body = buffer_.mid(headEnd + 4);
            if (length >= 0 && body.size() < length && !closed)
                return;
            response.body = length >= 0 ? body.left(length) : body;
        } else if (!closed) {
            return;
        }
        auto done = std::move(done_);
        done_ = nullptr;
        done(response);
    }

    QTcpSocket socket_;
    QByteArray buffer_;
    std::function<void(const Response &)> done_;
};

// Everything one connection receives for the bytes sent, cut into answers
// by their Content-Length (an answer cut short by the end of the connection,
// as a HEAD answer is, keeps what arrived).
struct Conversation {
    struct Answer {
        int status = 0;
        QByteArray head;
        QByteArray body;
    };
    QList<Answer> answers;
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
    SpinUntil([&] { return closed; }, limitMs);
    received += socket.readAll();
    Conversation conversation;
    conversation.closedByService = closed;
    while (!received.isEmpty()) {
        const qsizetype headEnd = received.indexOf("\r\n\r\n");
        if (headEnd < 0)
            break;
        Conversation::Answer answer;
        answer.head = received.left(headEnd + 2);
        answer.status = answer.head.mid(9, 3).toInt();
        qsizetype length = 0;
        for (const QByteArray &line : answer.head.split('\n')) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        }
        answer.body = received.mid(headEnd + 4, length);
        received.remove(0, headEnd + 4 + answer.body.size());
        conversation.answers.append(answer);
    }
    return conversation;
}

inline QByteArray TranslateTarget(const QString &text, const char *langpair)
{
    return "/translate_t?text=" + QUrl::toPercentEncoding(text) +
           "&langpair=" + QByteArray(langpair);
}

}  // namespace verz::test
