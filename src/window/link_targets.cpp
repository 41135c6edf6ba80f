#include "window/link_targets.h"

#include "engine/service_endpoint.h"

namespace verz {

QString ServiceHomePage()
{
    return QStringLiteral("http://") + QString::fromUtf16(kDefaultServiceHost) + QLatin1Char('/');
}

QString AuthorWebSite()
{
    return QStringLiteral("http://verzolan.example.org");
}

QString MailLink(Version version)
{
    return QStringLiteral("mailto:auteur@verzolan.example.org?subject=Verzolan V") +
           QString::number(version.major) + QLatin1Char('.') + QString::number(version.minor);
}

}  // namespace verz
