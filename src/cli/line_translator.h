#pragma once

#include "cli/headless_form.h"
#include "engine/translation_request.h"

#include <QString>

#include <memory>
#include <optional>

namespace verz {

class ServiceStarter;

// Where the command line sends its texts: the window's service host, the
// starter for the default service (none when the settings name a service), and
// the transfer deadline of each request (tests shorten it).
struct ServiceAccess {
    QString host;
    std::shared_ptr<ServiceStarter> starter;
    int timeoutMs = TranslationRequest::kTransferTimeoutMs;
};

// The settings as the window reads them, never written.
ServiceAccess ServiceAccessFromSettings(const QString &appName);

// Translates one text at a time through the engine's request, with the page
// kept in memory only: the window's scratch file is never named, so a running
// window never sees its page replaced.
class LineTranslator {
public:
    LineTranslator(const ServiceAccess &service, int pairRow, const QString &pairCode, bool fold);

    // The translation, or nothing when the service could not be reached or
    // gave no whole page.
    std::optional<QString> translate(const QString &text);

private:
    TranslationRequest request_;
    HeadlessForm form_;
};

// A text with nothing but spaces and tabs: never sent, printed as an empty line.
bool IsBlank(const QString &text);

}  // namespace verz
