#include "engine/translation_request.h"

#include <utility>

namespace verz {

struct TranslationRequest::Running {};

TranslationRequest::TranslationRequest(QString serviceHost, QString scratchPath)
    : serviceHost_(std::move(serviceHost)), scratchPath_(std::move(scratchPath))
{
}

TranslationRequest::~TranslationRequest() = default;

void TranslationRequest::Command6_Click(TranslationForm &form)
{
    form.setTranslateEnabled(true);
}

bool TranslationRequest::DownloadPage(const QString &, const QString &)
{
    return false;
}

void TranslationRequest::ReadTranslation(TranslationForm &form)
{
    form.setTranslateEnabled(true);
}

QString TranslationRequest::QueryAddress(const QString &text, const QString &lang) const
{
    return QStringLiteral("http://") + serviceHost_ + QStringLiteral("/translate_t?text=") + text +
           QStringLiteral("&langpair=") + lang;
}

bool TranslationRequest::isRunning() const
{
    return running_ != nullptr;
}

void TranslationRequest::abort() {}

QString FoldDiacritics(const QString &text)
{
    return text;
}

}  // namespace verz
