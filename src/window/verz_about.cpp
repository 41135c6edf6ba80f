// The about panel, the hot spots over the skin's symbols and the links.
#include "window/verz.h"

#include "platform/link_opener.h"
#include "window/link_targets.h"

#include <QEvent>
#include <QFrame>
#include <QToolButton>

namespace verz {

void Verz::Label6_Click()
{
    w_.Command8->setIcon(windowIcon());
    w_.FraConfig->setVisible(!w_.FraConfig->isVisible());
}

void Verz::Command8_Click()
{
    w_.FraConfig->setVisible(false);
}

void Verz::Label2_Click()
{
    w_.FraConfig->setVisible(false);
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void Verz::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange) {
        // Back from the task bar: the panel stays out of the way.
        const bool minimised = windowState().testFlag(Qt::WindowMinimized);
        if (wasMinimised_ && !minimised)
            w_.FraConfig->setVisible(false);
        wasMinimised_ = minimised;
    }
    QWidget::changeEvent(event);
}

void Verz::Label1_Click()
{
    close();  // runs Form_Unload
    programEnder_(0);
}

void Verz::Label3_Click()
{
    OpenLink(MailLink(kVersion));
}

void Verz::Label4_Click()
{
    OpenLink(AuthorWebSite());
}

void Verz::Image3_Click()
{
    OpenLink(ServiceHomePage());
}

void Verz::Labc_Click(int)
{
    OpenLink(ServiceHomePage());
}

}  // namespace verz
