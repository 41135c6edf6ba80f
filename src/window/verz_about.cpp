// The hot spots over the skin's symbols, the about panel's handlers and its
// links; the panel itself is AboutPanel's.
#include "window/verz.h"

#include "platform/app_info.h"
#include "platform/link_opener.h"
#include "shape/alpha_outline.h"
#include "window/link_targets.h"

#include <QEvent>

namespace verz {

void Verz::Label6_Click()
{
    about_.toggle(windowIcon());
}

void Verz::Command8_Click()
{
    about_.hide();
}

void Verz::Label2_Click()
{
    about_.hide();
    // On Wayland a request to the compositor, which never says whether it
    // minimised the window, nor when it shows it again.
    minimisedOnWayland_ = OutlineNeedsAlpha();
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void Verz::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        about_.windowMinimised(windowState().testFlag(Qt::WindowMinimized));
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
