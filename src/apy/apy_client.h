#pragma once

#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace verz {

// The header that carries the key of our own APy child (see apy_supervisor).
inline constexpr char kApyKeyHeader[] = "X-Apy-Key";

// A langpair ending in this asks APy to mark the words the pair does not know
// ("*word"), for a caller that reads the marks; it queues apart from the plain one.
inline constexpr QLatin1StringView kMarkUnknownSuffix("+marked");

// Texts travel to APy as HTML blocks, "<p>text</p>", each escaped. APy's HTML
// deformatter keeps a block boundary as a hard boundary, so several texts can
// share one call without a word moving from one to another, and the same
// wrapping for a lone text gives the very answer a batch gives it.
//
// APy cuts what it gets into pieces and translates at most ten of them,
// silently dropping the rest; it leaves whole what fits its pipe buffer
// (4096 bytes) while a pipeline has at most two users, which is all our own
// APy ever sees. So no call carries more than kMaxBlockQuery bytes of UTF-8,
// markup included: never cut by APy, and never a lost tail.
inline constexpr qsizetype kMaxBlockQuery = 4000;

// Asks an APy server for translations, many at once: requests are spread over
// several connection pools so that APy's pipelines all get work. It alone
// speaks APy's wire: the texts joined as blocks, the answer read and split.
class ApyClient : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool ok = false;
        QString text;   // the translation when ok
        QString error;  // why not, for the log
        // APy, not the request, is at fault (no answer, timeout, 5xx):
        // worth another try elsewhere.
        bool apyFault = false;
        // APy's 503: the langpair's pipeline timed out or died and APy starts
        // it again; the server itself is fine.
        bool pipelineRestarting = false;
        // APy answered, but not with one block per text, as when it ran two
        // together: each may go again by itself.
        bool blocksRunTogether = false;
    };
    // texts: the translations in the order asked, when result.ok.
    using Callback = std::function<void(const Result &result, const QStringList &texts)>;

    explicit ApyClient(QObject *parent = nullptr);
    ~ApyClient() override;

    void setBaseUrl(const QUrl &base);
    QUrl baseUrl() const { return base_; }
    bool hasBaseUrl() const { return base_.isValid() && !base_.isEmpty(); }
    // Sent with every call; our own APy child refuses calls without it.
    void setAccessKey(const QByteArray &key) { accessKey_ = key; }

    // One leg, "fra|spa", for several texts in one call, each a block (their
    // BlocksQuery within kMaxBlockQuery). The callback runs exactly once, on
    // this thread, within timeoutMs (then with ok=false).
    void translate(const QString &langpair, const QStringList &texts, int timeoutMs, Callback done);
    // GET /listPairs; the body on success.
    void listPairs(int timeoutMs, std::function<void(bool ok, const QByteArray &body)> done);

private:
    QNetworkAccessManager *nextManager();
    QNetworkRequest request(const QString &path) const;

    QUrl base_;
    QByteArray accessKey_;
    QList<QNetworkAccessManager *> managers_;
    int next_ = 0;
};

// The translatedText of an APy /translate answer; ok=false for anything else.
ApyClient::Result ParseApyTranslation(int httpStatus, const QByteArray &body);

// Bytes a text takes in a call: escaped, with its block tags, as UTF-8.
qsizetype BlockCost(const QString &text);

// "<p>a</p><p>b</p>" for the texts, in order.
QString BlocksQuery(const QStringList &texts);

// The texts of APy's answer to BlocksQuery, unescaped; nullopt when the
// answer is not exactly `expected` blocks, as when APy ran two together.
std::optional<QStringList> SplitBlocks(const QString &answer, qsizetype expected);

// Cuts a text into consecutive pieces whose BlockCost stays within maxCost,
// at sentence ends where it can (then line ends, then spaces): joined, the
// pieces are the text again, and each translates on its own.
QStringList CutIntoBlocks(const QString &text, qsizetype maxCost = kMaxBlockQuery);

}  // namespace verz
