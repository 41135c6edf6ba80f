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
    QUrl apy;  // empty: run our own
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
    void fetchExternalPairs();
    void useApy(const QUrl &base, const QByteArray &listPairs);

    ServiceSettings settings_;
    TranslationService service_;
    ApySupervisor *supervisor_ = nullptr;
    ApyClient externalProbe_;
    QTimer externalRetry_;
};

}  // namespace verz
