#include "selection/session_selection.h"

#include "selection/x11_selection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <iostream>
#include <memory>

namespace verz {

namespace {

// An owner that does not answer costs this much, for each selection asked.
constexpr int kX11ReadTimeoutMs = 1000;
// UTF-8 takes at most four bytes a character: enough for the longest
// selection kept, and no more is read.
constexpr qsizetype kMaxSelectionBytes = 4 * kMaxSelectionLength + 4;

}  // namespace

TakenSelection TakeSessionSelection(const QClipboard &clipboard)
{
    if (!QGuiApplication::platformName().startsWith(u"wayland"))
        return TakeSelection(clipboard);
    for (const char *selection : {"PRIMARY", "CLIPBOARD"}) {
        QString text = ReadX11Selection(selection, kX11ReadTimeoutMs, kMaxSelectionBytes);
        if (!IsEmptySelection(text))
            return FitSelection(std::move(text));
    }
    TakenSelection none;
    none.onlyWithFocus = true;
    return none;
}

void TakeSelectionOnceFocused(QObject *context, int timeoutMs,
                              std::function<void(const TakenSelection &)> done)
{
    struct Wait {
        std::function<void(const TakenSelection &)> done;
        QMetaObject::Connection focus;
        bool finished = false;
    };
    auto wait = std::make_shared<Wait>();
    wait->done = std::move(done);
    const auto finish = [wait](bool focused) {
        if (wait->finished)
            return;
        wait->finished = true;
        QObject::disconnect(wait->focus);
        wait->done(focused ? TakeSelection(*QGuiApplication::clipboard()) : TakenSelection{});
    };
    // From the event loop in every case: the caller's reply or state first.
    if (QGuiApplication::focusWindow() != nullptr) {
        QTimer::singleShot(0, context, [finish] { finish(true); });
        return;
    }
    wait->focus = QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, context,
                                   [finish](QWindow *window) {
                                       if (window != nullptr)
                                           finish(true);
                                   });
    QTimer::singleShot(timeoutMs, context, [finish] { finish(false); });
}

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
