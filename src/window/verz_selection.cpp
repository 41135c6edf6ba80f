// Texts selected in other programs, handed over by the selection command or
// the global key, translated one after the other.
#include "window/verz.h"

#include "engine/translation_request.h"
#include "shape/alpha_outline.h"

#include <utility>

namespace verz {

void Verz::TranslateSelection(const QString &text, int pairRow)
{
    waitingSelections_.push_back({text, pairRow});
    ComeToFront();
    // A running translation (a click, or an earlier selection) reads Text1
    // only when it starts, but shows it meanwhile: the new text waits.
    if (translatingSelections_ || request_->isRunning())
        return;
    TranslateWaitingSelections();
}

void Verz::TranslateWaitingSelections()
{
    translatingSelections_ = true;
    // A window closed meanwhile translates nothing more.
    while (!waitingSelections_.empty() && !request_->isRunning() && isVisible()) {
        const WaitingSelection next = waitingSelections_.front();
        waitingSelections_.pop_front();
        Text1_Click();  // the placeholder goes as a click in the box takes it away
        Command5_Click();
        setText1(next.text);
        if (next.pairRow >= 0)
            setOption1Value(next.pairRow);
        Command6_Click();
    }
    translatingSelections_ = false;
}

void Verz::ComeToFront()
{
    if (isMinimized())
        showNormal();
    if (std::exchange(minimisedOnWayland_, false)) {
        hide();
        show();
        RenewInputRegion(*this);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace verz
