#include "apy/apy_client.h"

#include "common/html_escape.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrlQuery>

namespace verz {

namespace {

// Each manager keeps at most six connections to one host.
constexpr int kManagerCount = 4;

QByteArray FormValue(const QString &value)
{
    return QUrl::toPercentEncoding(value);
}

// Runs the reply to its end, or aborts it at the deadline; finished() comes
// either way, and then exactly once.
void WatchReply(QNetworkReply *reply, int timeoutMs, std::function<void(QNetworkReply *)> done)
{
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline->start(timeoutMs);
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, done = std::move(done)] {
        done(reply);
        reply->deleteLater();
    });
}

}  // namespace

ApyClient::Result ParseApyTranslation(int httpStatus, const QByteArray &body)
{
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    const QJsonValue text = answer.value(u"responseData").toObject().value(u"translatedText");
    if (httpStatus != 200 || answer.value(u"responseStatus").toInt() != 200 || !text.isString()) {
        QString why = answer.value(u"explanation").toString();
        if (why.isEmpty())
            why = answer.value(u"responseDetails").toString();
        ApyClient::Result failure{false,
                                  {},
                                  QStringLiteral("APy answered %1 %2").arg(httpStatus).arg(why),
                                  httpStatus >= 500 || httpStatus == 0};
        failure.pipelineRestarting = httpStatus == 503;
        return failure;
    }
    return {true, text.toString(), {}, false};
}

ApyClient::ApyClient(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < kManagerCount; ++i) {
        auto *manager = new QNetworkAccessManager(this);
        manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        managers_.append(manager);
    }
}

ApyClient::~ApyClient() = default;

void ApyClient::setBaseUrl(const QUrl &base)
{
    base_ = base;
}

QNetworkAccessManager *ApyClient::nextManager()
{
    next_ = (next_ + 1) % managers_.size();
    return managers_.at(next_);
}

QNetworkRequest ApyClient::request(const QString &path) const
{
    QUrl url = base_;
    url.setPath(base_.path() + path);
    QNetworkRequest request(url);
    if (!accessKey_.isEmpty())
        request.setRawHeader(kApyKeyHeader, accessKey_);
    return request;
}

namespace {

// The reply to a BlocksQuery of `expected` texts: their translations, or why none.
std::pair<ApyClient::Result, QStringList> ReadBlocksReply(QNetworkReply *reply, qsizetype expected)
{
    if (reply->error() != QNetworkReply::NoError &&
        reply->error() < QNetworkReply::ContentAccessDenied)
        return {{false, {}, reply->errorString(), true}, {}};
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const ApyClient::Result answer = ParseApyTranslation(status, reply->readAll());
    if (!answer.ok)
        return {answer, {}};
    if (const std::optional<QStringList> translations = SplitBlocks(answer.text, expected))
        return {{true, {}, {}, false}, *translations};
    ApyClient::Result apart{
        false, {}, QStringLiteral("APy's answer ran the blocks together"), false};
    apart.blocksRunTogether = true;
    return {apart, {}};
}

}  // namespace

void ApyClient::translate(const QString &langpair, const QStringList &texts, int timeoutMs,
                          Callback done)
{
    if (!hasBaseUrl()) {
        QTimer::singleShot(0, this, [done = std::move(done)] {
            done({false, {}, QStringLiteral("APy is not running"), true}, {});
        });
        return;
    }
    QNetworkRequest post = request(QStringLiteral("/translate"));
    post.setHeader(QNetworkRequest::ContentTypeHeader,
                   QByteArrayLiteral("application/x-www-form-urlencoded"));
    // HTML in (APy's default), so that block boundaries hold.
    const bool marked = langpair.endsWith(kMarkUnknownSuffix);
    const QString pair = marked ? langpair.chopped(kMarkUnknownSuffix.size()) : langpair;
    const QByteArray form = "langpair=" + FormValue(pair) + "&q=" + FormValue(BlocksQuery(texts)) +
                            (marked ? "&markUnknown=yes" : "&markUnknown=no");
    QNetworkReply *reply = nextManager()->post(post, form);
    WatchReply(reply, timeoutMs,
               [expected = texts.size(), done = std::move(done)](QNetworkReply *r) {
                   const auto [result, translations] = ReadBlocksReply(r, expected);
                   done(result, translations);
               });
}

void ApyClient::listPairs(int timeoutMs, std::function<void(bool, const QByteArray &)> done)
{
    if (!hasBaseUrl()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false, {}); });
        return;
    }
    QNetworkReply *reply = nextManager()->get(request(QStringLiteral("/listPairs")));
    WatchReply(reply, timeoutMs, [done = std::move(done)](QNetworkReply *r) {
        const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool ok = r->error() == QNetworkReply::NoError && status == 200;
        done(ok, ok ? r->readAll() : QByteArray());
    });
}

// The block format texts travel in (see kMaxBlockQuery).

namespace {

constexpr qsizetype kTagCost = 7;  // "<p>" and "</p>"

qsizetype CharCost(QChar c)
{
    switch (c.unicode()) {
    case u'&':
        return 5;  // &amp;
    case u'<':
    case u'>':
        return 4;  // &lt; &gt;
    default:
        if (c.unicode() < 0x80)
            return 1;
        // A surrogate pair is four bytes, two for each half.
        return c.unicode() < 0x800 || c.isSurrogate() ? 2 : 3;
    }
}

bool IsSentenceEnd(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == u'…';
}

bool IsClosing(QChar c)
{
    return c == u'"' || c == u'\'' || c == u'»' || c == u')' || c == u']' || c == u'”' || c == u'’';
}

// Whether the text just before `at` ends a sentence, closing quotes aside.
bool EndsSentence(const QString &text, qsizetype from, qsizetype at)
{
    while (at > from && IsClosing(text.at(at - 1)))
        --at;
    return at > from && IsSentenceEnd(text.at(at - 1));
}

// Where the piece starting at `from` should end, given that it may not go
// past `limit`: after the last sentence end (and the spaces that follow it),
// else after the last line end, else after the last space, else at the limit.
qsizetype CutPoint(const QString &text, qsizetype from, qsizetype limit)
{
    qsizetype sentence = -1, line = -1, space = -1, runStart = -1;
    for (qsizetype i = from; i < limit; ++i) {
        const QChar c = text.at(i);
        if (!c.isSpace()) {
            runStart = -1;
            continue;
        }
        if (runStart < 0)
            runStart = i;
        // Spaces stay with the piece before them, so the next one starts on a word.
        const qsizetype after = i + 1;
        if (c == u'\n')
            line = after;
        space = after;
        if (EndsSentence(text, from, runStart))
            sentence = after;
    }
    if (sentence > from)
        return sentence;
    if (line > from)
        return line;
    if (space > from)
        return space;
    // One unbroken run longer than a call: cut it, but never inside a
    // surrogate pair.
    if (limit > from + 1 && text.at(limit - 1).isHighSurrogate())
        return limit - 1;
    return limit;
}

int EntityValue(QStringView name)
{
    if (name == u"amp")
        return '&';
    if (name == u"lt")
        return '<';
    if (name == u"gt")
        return '>';
    if (name == u"quot")
        return '"';
    if (name == u"apos")
        return '\'';
    if (name.startsWith(u"#x") || name.startsWith(u"#X")) {
        bool ok = false;
        const uint value = name.mid(2).toUInt(&ok, 16);
        return ok && value > 0 && value <= 0x10FFFF ? int(value) : -1;
    }
    if (name.startsWith(u'#')) {
        bool ok = false;
        const uint value = name.mid(1).toUInt(&ok, 10);
        return ok && value > 0 && value <= 0x10FFFF ? int(value) : -1;
    }
    return -1;
}

QString Unescaped(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&') {
            const qsizetype end = text.indexOf(u';', i + 1);
            if (end > i && end - i <= 10) {
                const int value = EntityValue(text.mid(i + 1, end - i - 1));
                if (value > 0) {
                    const char32_t code = char32_t(value);
                    out += QString::fromUcs4(&code, 1);
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

}  // namespace

qsizetype BlockCost(const QString &text)
{
    qsizetype cost = kTagCost;
    for (QChar c : text)
        cost += CharCost(c);
    return cost;
}

QString BlocksQuery(const QStringList &texts)
{
    QString query;
    for (const QString &text : texts) {
        query += u"<p>";
        query += HtmlEscaped(text, EscapeQuotes::No);
        query += u"</p>";
    }
    return query;
}

std::optional<QStringList> SplitBlocks(const QString &answer, qsizetype expected)
{
    QStringList texts;
    qsizetype at = 0;
    const QStringView open = u"<p>", close = u"</p>";
    while (true) {
        // APy may put spaces or line ends between blocks; nothing else.
        while (at < answer.size() && answer.at(at).isSpace())
            ++at;
        if (at == answer.size())
            break;
        if (!QStringView(answer).mid(at).startsWith(open))
            return std::nullopt;
        at += open.size();
        const qsizetype end = answer.indexOf(close, at);
        if (end < 0 || answer.indexOf(u'<', at) < end)
            return std::nullopt;
        texts.append(Unescaped(QStringView(answer).mid(at, end - at)));
        at = end + close.size();
    }
    if (texts.size() != expected)
        return std::nullopt;
    return texts;
}

QStringList CutIntoBlocks(const QString &text, qsizetype maxCost)
{
    QStringList pieces;
    qsizetype from = 0;
    while (from < text.size()) {
        // The furthest end whose cost still fits.
        qsizetype cost = kTagCost, limit = from;
        while (limit < text.size() && cost + CharCost(text.at(limit)) <= maxCost)
            cost += CharCost(text.at(limit++));
        const qsizetype end = limit == text.size() ? limit : CutPoint(text, from, limit);
        pieces.append(text.mid(from, std::max(end, from + 1) - from));
        from = std::max(end, from + 1);
    }
    return pieces;
}

}  // namespace verz
