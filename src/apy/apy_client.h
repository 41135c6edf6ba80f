#pragma once

#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace verz {

// The header that carries the key of our own APy child (see apy_supervisor).
inline constexpr char kApyKeyHeader[] = "X-Apy-Key";

// A langpair ending in this asks APy to mark the words the pair does not know
// ("*word"), for a caller that reads the marks; it queues apart from the plain one.
inline constexpr QLatin1StringView kMarkUnknownSuffix("+marked");

// Asks an APy server for translations, many at once: requests are spread over
// several connection pools so that APy's pipelines all get work.
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
    };
    using Callback = std::function<void(const Result &)>;

    explicit ApyClient(QObject *parent = nullptr);
    ~ApyClient() override;

    void setBaseUrl(const QUrl &base);
    QUrl baseUrl() const { return base_; }
    bool hasBaseUrl() const { return base_.isValid() && !base_.isEmpty(); }
    // Sent with every call; our own APy child refuses calls without it.
    void setAccessKey(const QByteArray &key) { accessKey_ = key; }

    // One leg, "fra|spa", of APy's HTML input (see apy_blocks.h); the text is
    // APy's answer as it came. The callback runs exactly once, on this thread,
    // within timeoutMs (then with ok=false).
    void translate(const QString &langpair, const QString &html, int timeoutMs, Callback done);
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

}  // namespace verz
