#include "cli/line_translator.h"

#include "engine/service_endpoint.h"
#include "engine/service_starter.h"

namespace verz {

ServiceAccess ServiceAccessFromSettings(const QString &appName)
{
    ServiceAccess service;
    service.host = ServiceHostFromSettings(appName);
    // As the window does: an installed program must translate on its first
    // call even where no socket unit starts the service; a service the user
    // named is theirs to run.
    if (!ServiceNamedInSettings(appName))
        service.starter = ServiceStarter::ForDefaultService();
    return service;
}

LineTranslator::LineTranslator(const ServiceAccess &service, int pairRow, const QString &pairCode,
                               bool fold)
    : request_(service.host, QString()), form_(pairRow, pairCode, fold)
{
    request_.setTransferLimits(service.timeoutMs, TranslationRequest::kMaxPageBytes);
    if (service.starter)
        request_.setServiceStarter(service.starter);
}

std::optional<QString> LineTranslator::translate(const QString &text)
{
    form_.setInput(text);
    request_.translate(form_);
    return form_.translation();
}

bool IsBlank(const QString &text)
{
    for (const QChar c : text) {
        if (c != u' ' && c != u'\t')
            return false;
    }
    return true;
}

}  // namespace verz
