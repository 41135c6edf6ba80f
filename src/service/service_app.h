#pragma once

#include "service/apy_supervisor.h"
#include "service/translation_service.h"

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace verz {

struct ServiceSettings {
    QHostAddress listen = QHostAddress::LocalHost;
    quint16 port = 8787;
    QList<QUrl> apy;  // APy servers to use; none: run our own
    ApySupervisor::Options supervisor;
    TranslationService::Options service;
};

// The command line of verzolan-service; nullopt (with a message in error)
// when it cannot be used.
std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error);

// The whole service: the page server, and APy, our own child or one given.
class ServiceApp : public QObject {
    Q_OBJECT
public:
    explicit ServiceApp(ServiceSettings settings, QObject *parent = nullptr);
    ~ServiceApp() override;

    bool start(QString *error);
    void stop();
    TranslationService &service() { return service_; }

private:
    void fetchExternalPairs(ApyClient *probe);
    void useApy(const QUrl &base, const QByteArray &listPairs, const QByteArray &accessKey);

    ServiceSettings settings_;
    TranslationService service_;
    ApySupervisor *supervisor_ = nullptr;
    bool externalInUse_ = false;  // the first --apy to answer gave the pairs
};

}  // namespace verz
