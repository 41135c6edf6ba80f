#include "window/about_panel.h"

#include "widgets/control_widgets.h"
#include "window/form_widgets.h"

#include <QApplication>
#include <QFrame>
#include <QPlainTextEdit>
#include <QToolButton>

#include <algorithm>
#include <array>

namespace verz {

void AboutPanel::toggle(const QIcon &okPicture)
{
    w_.Command8->setIcon(okPicture);
    if (w_.FraConfig->isVisible()) {
        hide();
        return;
    }
    QWidget *focused = w_.FraConfig->window()->focusWidget();
    returnFocus_ = focused;
    w_.FraConfig->setVisible(true);
    w_.Command8->setFocus(Qt::OtherFocusReason);
}

void AboutPanel::hide()
{
    QWidget *focused = w_.FraConfig->window()->focusWidget();
    if (w_.FraConfig->isVisible() && focused != nullptr && w_.FraConfig->isAncestorOf(focused)) {
        // Back where it was, or into the output box where the window starts.
        QWidget *back = returnFocus_;
        if (back == nullptr || !back->isEnabled() || w_.FraConfig->isAncestorOf(back))
            back = w_.Text2;
        back->setFocus(Qt::OtherFocusReason);
    }
    w_.FraConfig->setVisible(false);
}

void AboutPanel::windowMinimised(bool minimised)
{
    if (wasMinimised_ && !minimised)
        hide();
    wasMinimised_ = minimised;
}

bool AboutPanel::moveFocus(bool next)
{
    if (!w_.FraConfig->isVisible())
        return false;
    // In the order of their tab indexes.
    const std::array<QWidget *, 4> ring{w_.Command8, w_.Label3, w_.Label4, w_.Labc[0]};
    QWidget *focused = w_.FraConfig->window()->focusWidget();
    const auto at = std::find(ring.begin(), ring.end(), focused);
    const std::ptrdiff_t from = at == ring.end() ? (next ? -1 : 0) : at - ring.begin();
    const auto size = static_cast<std::ptrdiff_t>(ring.size());
    const std::ptrdiff_t to = ((from + (next ? 1 : -1)) % size + size) % size;
    ring[static_cast<std::size_t>(to)]->setFocus(next ? Qt::TabFocusReason
                                                      : Qt::BacktabFocusReason);
    return true;
}

}  // namespace verz
