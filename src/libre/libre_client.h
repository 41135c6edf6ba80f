#pragma once

#include "libre/libre_fault.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;

namespace verz {

// No answer of LibreTranslate is read past this: a batch's translations
// take a fraction of it.
inline constexpr qint64 kMaxLibreAnswer = 4 * 1024 * 1024;

struct LibreAnswer {
    LibreFault fault = LibreFault::None;
    QStringList texts;    // one per text sent, in order, when fault is None
    int httpStatus = 0;   // 0: no HTTP answer
    QString serverError;  // the server's own "error", for the log only
};

// The translatedText of a POST /translate answer for count texts (sent as a
// list when asList); anything else is a fault, never a partial result.
LibreAnswer ReadLibreTranslation(int httpStatus, const QByteArray &body, qsizetype count,
                                 bool asList);

// Speaks LibreTranslate's published HTTP API. Redirects are never followed,
// answers past kMaxLibreAnswer are cut off, and every call ends, exactly
// once and later than the call itself, within the time it is given.
class LibreClient : public QObject {
    Q_OBJECT
public:
    LibreClient(const QUrl &base, const QByteArray &apiKey, QObject *parent = nullptr);
    ~LibreClient() override;

    QUrl baseUrl() const { return base_; }

    // GET /languages: the pairs served, as "en|de".
    void languages(int timeoutMs, std::function<void(LibreFault, const QSet<QString> &)> done);
    // POST /translate; format "text" or "html". Several texts go as one list.
    void translate(const QString &source, const QString &target, const QStringList &texts,
                   const QString &format, int timeoutMs,
                   std::function<void(const LibreAnswer &)> done);

private:
    QUrl endpoint(const QString &path) const;
    // done gets the fault of the transfer itself (or None), the status and the body.
    void exchange(const QString &path, const QByteArray *jsonBody, int timeoutMs,
                  std::function<void(LibreFault, int, const QByteArray &)> done);

    QUrl base_;
    QByteArray apiKey_;
    QNetworkAccessManager *network_;
};

}  // namespace verz
