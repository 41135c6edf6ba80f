#include "http/http_server.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

// Descriptors kept free for the files and connections of the handlers and for
// refusing the connection after the last.
constexpr rlim_t kSpareDescriptors = 64;

// The cap, lowered where the process may open fewer files: once accept()
// runs out of descriptors the listening socket stays readable and nothing
// more can be served.
int EffectiveCap(int wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return wanted;
    const rlim_t room = limit.rlim_cur > 2 * kSpareDescriptors ? limit.rlim_cur - kSpareDescriptors
                                                               : limit.rlim_cur / 2;
    return int(std::min<rlim_t>(rlim_t(wanted), room));
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsLoopbackHost(QByteArrayView host)
{
    QByteArrayView name = host;
    QByteArrayView port;
    if (host.startsWith('[')) {
        const qsizetype close = host.indexOf(']');
        if (close < 0)
            return false;
        name = host.sliced(1, close - 1);
        port = host.sliced(close + 1);
        if (!port.isEmpty() && !port.startsWith(':'))
            return false;
        if (QHostAddress(QString::fromLatin1(name)).protocol() != QAbstractSocket::IPv6Protocol)
            return false;
    } else if (const qsizetype colon = host.lastIndexOf(':'); colon >= 0) {
        name = host.first(colon);
        port = host.sliced(colon);
    }
    const QByteArrayView digits = port.isEmpty() ? port : port.sliced(1);
    if (!port.isEmpty() && (digits.isEmpty() || digits.size() > 5 ||
                            !std::all_of(digits.begin(), digits.end(), IsDigit)))
        return false;
    if (name.compare("localhost", Qt::CaseInsensitive) == 0 ||
        name.compare("localhost.", Qt::CaseInsensitive) == 0)
        return true;
    // Only the dotted form: a name such as "127.0.0.1.example" is not an address.
    for (const char c : name) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == ':' || (c >= 'a' && c <= 'f') ||
              (c >= 'A' && c <= 'F')))
            return false;
    }
    const QHostAddress address(QString::fromLatin1(name));
    return !address.isNull() && address.isLoopback();
}

bool ComesFromAnotherSite(const HttpRequest &request)
{
    const QByteArray site = request.field("Sec-Fetch-Site").toLower();
    if (site == "cross-site" || site == "same-site")
        return true;
    const QByteArray origin = request.field("Origin");
    if (origin.isNull())
        return false;
    // A page under "Referrer-Policy: no-referrer" (the home page's own) posts
    // its forms with Origin "null"; no page can forge Sec-Fetch-Site, so that
    // one still vouches for the post.
    if (origin == "null")
        return site != "same-origin";
    for (const QByteArrayView scheme : {QByteArrayView("http://"), QByteArrayView("https://")}) {
        if (origin.startsWith(scheme))
            return !request.hasHost || QByteArrayView(origin)
                                               .sliced(scheme.size())
                                               .compare(request.host, Qt::CaseInsensitive) != 0;
    }
    return true;
}

HttpServer::HttpServer(Limits limits, QObject *parent) : QTcpServer(parent), limits_(limits)
{
    limits_.maxConnections = EffectiveCap(limits_.maxConnections);
    // Accepting stops on a lasting error (no descriptors left); try again
    // a little later rather than never.
    acceptRetry_.setSingleShot(true);
    acceptRetry_.setInterval(200);
    connect(&acceptRetry_, &QTimer::timeout, this, &QTcpServer::resumeAccepting);
    connect(this, &QTcpServer::acceptError, this, [this] { acceptRetry_.start(); });
}

void HttpServer::route(const QString &path, Handler handler, const QByteArrayList &methods)
{
    QByteArrayList allowed = methods.isEmpty() ? QByteArrayList{QByteArrayLiteral("GET")} : methods;
    if (allowed.contains("GET") && !allowed.contains("HEAD"))
        allowed.append(QByteArrayLiteral("HEAD"));
    routes_.insert(path, {allowed, std::move(handler)});
}

void HttpServer::routeUpload(const QString &path, UploadRules rules, Handler handler)
{
    uploads_[path] = {std::move(rules), std::move(handler)};
}

void HttpServer::setMissingHandler(Handler handler)
{
    missing_ = std::move(handler);
}

void HttpServer::observeAnswers(AnswerObserver observer)
{
    observer_ = std::move(observer);
}

void HttpServer::incomingConnection(qintptr descriptor)
{
    if (connections_.size() >= limits_.maxConnections && !makeRoom()) {
        refuseConnection(descriptor);
        return;
    }
    auto *socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    auto *connection = new HttpConnection(
        socket, limits_.connection, [this](const HttpRequest &request) { return admit(request); },
        [this](const HttpRequest &request, const Admission &admission, HttpResponder &&responder) {
            dispatch(request, admission, std::move(responder));
        },
        this);
    connections_.append(connection);
    connect(connection, &HttpConnection::closed, this,
            [this, connection] { connections_.removeOne(connection); });
}

Admission HttpServer::admit(const HttpRequest &request) const
{
    // Listening on loopback only means serving this machine's own names only.
    if (serverAddress().isLoopback() && request.hasHost && !IsLoopbackHost(request.host))
        return {Refusal{Status::MisdirectedRequest,
                        "Hôte inconnu : ce service ne répond qu'aux noms de cette machine."}};
    // A form another site's page posts here (and so the user's browser, its
    // cookies and this machine's loopback) is not read, let alone acted on.
    if (request.method == "POST" && ComesFromAnotherSite(request))
        return {Refusal{Status::Forbidden,
                        "Requête refusée : elle vient d'une autre page que celle de ce service."}};
    const auto upload = uploads_.find(request.url().path());
    if (request.method == "POST" && upload != uploads_.end())
        return {std::nullopt, &upload->second.rules};
    return {};
}

bool HttpServer::makeRoom()
{
    // A full table of idle keep-alive connections must not lock out the
    // next client: the one idle longest makes way.
    HttpConnection *longestIdle = nullptr;
    for (HttpConnection *connection : std::as_const(connections_)) {
        if (connection->idle() && (!longestIdle || connection->idleMs() > longestIdle->idleMs()))
            longestIdle = connection;
    }
    if (!longestIdle)
        return false;
    longestIdle->drop();
    return true;
}

void HttpServer::refuseConnection(qintptr descriptor)
{
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    socket->write(HttpResponder::ComposeText("Trop de connexions ; réessayez dans un instant.",
                                             Status::ServiceUnavailable));
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
}

void HttpServer::dispatch(const HttpRequest &request, const Admission &admission,
                          HttpResponder &&responder)
{
    if (observer_) {
        const QString path = request.url().path();
        QElapsedTimer clock;
        clock.start();
        responder.whenWritten([observer = observer_, clock,
                               route = routes_.contains(path) || uploads_.contains(path)
                                           ? path
                                           : QStringLiteral("other")](Status status) {
            observer(route, int(status), clock.nsecsElapsed());
        });
    }
    if (admission.refusal) {
        responder.writeText(admission.refusal->text, admission.refusal->status);
        return;
    }
    const auto upload = uploads_.find(request.url().path());
    if (upload != uploads_.end() &&
        (request.method == "POST" || !routes_.contains(upload->first))) {
        if (request.method != "POST")
            responder.writeText("Envoyez le formulaire par POST.", Status::MethodNotAllowed,
                                {{QByteArrayLiteral("Allow"), QByteArrayLiteral("POST")}});
        else if (!request.body)
            responder.writeText("Formulaire vide : rien n'a été envoyé.", Status::BadRequest);
        else
            upload->second.handler(request, std::move(responder));
        return;
    }
    const auto route = routes_.constFind(request.url().path());
    if (route == routes_.cend()) {
        if (missing_)
            missing_(request, std::move(responder));
        else
            responder.writeText("Adresse inconnue de ce service.", Status::NotFound);
        return;
    }
    if (!route->methods.contains(request.method)) {
        const QByteArray allowed = route->methods.join(", ");
        responder.writeText("Méthode non servie ici ; utilisez " + route->methods.first() + ".",
                            Status::MethodNotAllowed, {{QByteArrayLiteral("Allow"), allowed}});
        return;
    }
    if (request.announcesBody) {
        responder.writeText("Une requête GET ne porte pas de corps.", Status::BadRequest);
        return;
    }
    route->handler(request, std::move(responder));
}

}  // namespace verz
