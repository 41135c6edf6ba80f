#include "window/about_panel.h"

#include "window/form_widgets.h"

#include <QFrame>
#include <QToolButton>

namespace verz {

void AboutPanel::toggle(const QIcon &okPicture)
{
    w_.Command8->setIcon(okPicture);
    w_.FraConfig->setVisible(!w_.FraConfig->isVisible());
}

void AboutPanel::hide()
{
    w_.FraConfig->setVisible(false);
}

void AboutPanel::windowMinimised(bool minimised)
{
    if (wasMinimised_ && !minimised)
        hide();
    wasMinimised_ = minimised;
}

}  // namespace verz
