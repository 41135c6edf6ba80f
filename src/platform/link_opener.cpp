#include "platform/link_opener.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace verz {

namespace {
void openWithDesktop(const QString &target)
{
    // The target is a fixed text of ours; TolerantMode keeps the blank of the
    // mail subject as it is written.
    QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
}

LinkOpener &currentOpener()
{
    static LinkOpener opener = openWithDesktop;
    return opener;
}
}  // namespace

void OpenLink(const QString &target)
{
    currentOpener()(target);
}

LinkOpener SetLinkOpener(LinkOpener opener)
{
    return std::exchange(currentOpener(), std::move(opener));
}

}  // namespace verz
