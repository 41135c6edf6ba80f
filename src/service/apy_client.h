#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace verz {

// Asks an APy server for translations, many at once: requests are spread over
// several connection pools so that APy's pipelines all get work.
class ApyClient : public QObject {
    Q_OBJECT
public:
    struct Result {
        bool ok = false;
        QString text;   // the translation when ok
        QString error;  // why not, for the log
    };
    using Callback = std::function<void(const Result &)>;

    explicit ApyClient(QObject *parent = nullptr);
    ~ApyClient() override;

    void setBaseUrl(const QUrl &base);
    QUrl baseUrl() const { return base_; }
    bool hasBaseUrl() const { return base_.isValid() && !base_.isEmpty(); }

    // One leg, "fra|spa". The callback runs exactly once, on this thread,
    // within timeoutMs (then with ok=false).
    void translate(const QString &langpair, const QString &text, int timeoutMs, Callback done);
    // GET /listPairs; the body on success.
    void listPairs(int timeoutMs, std::function<void(bool ok, const QByteArray &body)> done);

private:
    QNetworkAccessManager *nextManager();

    QUrl base_;
    QList<QNetworkAccessManager *> managers_;
    int next_ = 0;
};

// The translatedText of an APy /translate answer; ok=false for anything else.
ApyClient::Result ParseApyTranslation(int httpStatus, const QByteArray &body);

}  // namespace verz
