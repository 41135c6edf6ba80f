#include "selection/usable_selection.h"

#include "selection/session_selection.h"

#include <QClipboard>
#include <QGuiApplication>

#include <iostream>

namespace verz {

void SayOnError(const QString &text)
{
    std::cerr << (QStringLiteral("Verzolan : ") + text + u'\n').toStdString() << std::flush;
}

TakenSelection TakeUsableSelection(const LineSayer &sayNothing)
{
    TakenSelection taken = TakeSessionSelection(*QGuiApplication::clipboard());
    if (IsEmptySelection(taken.text) && taken.onlyWithFocus)
        return taken;
    return UsableSelection(std::move(taken), sayNothing);
}

TakenSelection UsableSelection(TakenSelection taken, const LineSayer &sayNothing)
{
    if (IsEmptySelection(taken.text)) {
        sayNothing(NothingSelectedMessage());
        taken.text.clear();
        return taken;
    }
    if (!taken.notice.isEmpty())
        SayOnError(taken.notice);
    return taken;
}

}  // namespace verz
