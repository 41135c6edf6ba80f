#pragma once

#include "apy/apy_presence.h"
#include "service/text_endpoints.h"

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

namespace verz {

// What verzolan-service's command line sets.
struct ServiceSettings {
    QHostAddress listen = QHostAddress::LocalHost;
    quint16 port = 8787;
    int idleExitSeconds = 0;  // end after this long without a request (0: never)
    ApyPresence::Options apy;
    TextEndpoints::Options endpoints;
    bool metricsFromAnywhere = false;
    QStringList warnings;  // for the log at start
};

// The command line of verzolan-service; nullopt (with a message in error)
// when it cannot be used, or the help text in error for --help.
std::optional<ServiceSettings> ParseServiceArguments(const QStringList &arguments, QString *error);

}  // namespace verz
