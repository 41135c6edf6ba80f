#pragma once

#include <QString>

#include <memory>

class QNetworkAccessManager;

namespace verz {

class ServiceStarter;

// Wakes the default local service while the user is still typing: asks it to
// start the engine for a pair, and starts the service itself first when its
// port refuses, as the click would. Nothing waits for the answer and nothing
// it meets is shown: a click on an unreachable service says so itself.
class ServiceWarmer {
public:
    // A port held by a program that never answers costs this much, unseen.
    static constexpr int kTimeoutMs = 3000;

    ServiceWarmer(QString serviceHost, std::shared_ptr<ServiceStarter> starter);
    ~ServiceWarmer();
    ServiceWarmer(const ServiceWarmer &) = delete;
    ServiceWarmer &operator=(const ServiceWarmer &) = delete;

    // pairCode as the window sends it ("fr|en"); an empty one asks nothing.
    void warm(const QString &pairCode);

private:
    void send(const QString &pairCode, bool mayStart);

    QString serviceHost_;
    std::shared_ptr<ServiceStarter> starter_;
    std::unique_ptr<QNetworkAccessManager> network_;
    // Cleared by the destructor, for a start that ends after the window has gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// False when the environment asks for no warm-up (VERZOLAN_NO_WARM_UP set
// and not "0"): the first click then pays the engine's start, as measured
// cold by the bench.
bool WarmUpWanted();

}  // namespace verz
