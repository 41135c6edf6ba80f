// Opening and closing the window, its outline, and moving it by its surface.
#include "window/verz.h"

#include "engine/scratch_file.h"
#include "engine/translation_request.h"
#include "pairs/stored_choice.h"
#include "platform/app_info.h"
#include "shape/alpha_outline.h"
#include "shape/redimensionne.h"
#include "shape/screen_scale.h"
#include "shape/window_region.h"
#include "widgets/control_widgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace verz {

void Verz::Form_Load()
{
    hide();
    Trace(u"hidden");

    QApplication::setOverrideCursor(Qt::WaitCursor);
    Trace(u"busy pointer");

    control(QStringLiteral("FraConfig"))->setLeft(120);
    Trace(u"FraConfig.Left");

    Control *picture1 = control(QStringLiteral("Picture1"));
    picture1->setGeometry(0, 0, twips_.toTwips(width()), twips_.toTwips(height()));
    Skin skin = skinReading_.get();
    skin_ = std::move(skin.picture);
    outline_ = std::move(skin.outline);
    w_.Picture1->setPicture(skin_);
    Trace(u"Picture1");

    deltaPix_ = DeltaPixFor(TwipsPerPixel(logicalDpiX()));
    Trace(u"DeltaPix");

    FillPairList();

    if (deltaPix_ != 1.0f) {
        Trace(u"ResizeControls");
        const std::vector<ResizableControl *> all(collection_.begin(), collection_.end());
        Redimensionne::ResizeControls(all, deltaPix_);
    }

    ShapeWindow();

    w_.Command6->setIcon(windowIcon());
    Trace(u"Command6.Picture");

    const int row = ReadStoredRow(ExecutableBaseName());
    Trace(u"stored row read");
    setOption1Value(row);

    w_.Label8->setText(VersionText(kVersion.major, kVersion.minor));
    Trace(u"Label8");

    QApplication::restoreOverrideCursor();
    Trace(u"default pointer");

    QCoreApplication::processEvents();
    Trace(u"pending events");

    CentreOnScreen();
    show();
    RenewInputRegion(*this);
    w_.Text2->setFocus(Qt::OtherFocusReason);
    Trace(u"shown");
    QTimer::singleShot(0, this, [this] { WarmChosenPair(); });
}

void Verz::ShapeWindow()
{
    Trace(u"ShapeWindow");
    // Picture1 takes the size of its picture, the window the size of Picture1.
    const QImage &picture = w_.Picture1->picture();
    Control *picture1 = control(QStringLiteral("Picture1"));
    picture1->setWidth(twips_.toTwips(picture.width()));
    picture1->setHeight(twips_.toTwips(picture.height()));
    resize(twips_.toPixels(picture1->width()), twips_.toPixels(picture1->height()));
    // The outline was cut from the skin, which is Picture1's picture. Where
    // the compositor shapes windows by alpha, the cut-away pixels are painted
    // clear and the mask is the input region only.
    if (OutlineNeedsAlpha()) {
        MakeTranslucent(*this);
        skin_ = WithKeyColourClear(skin_);
    }
    ApplyWindowRegion(*this, outline_);
}

void Verz::CentreOnScreen()
{
    const QScreen *where = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    if (where == nullptr)
        return;
    const QRect area = where->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void Verz::Form_Unload()
{
    // Nothing here may keep the window from closing.
    if (request_->isRunning())
        request_->abort();
    // Only a window that downloaded has claimed a file: one that never did
    // leaves the name to the window that will.
    const QString scratch = ClaimedScratchFilePath();
    if (!scratch.isEmpty())
        QFile::remove(scratch);
}

void Verz::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    setBusy(false);
    event->accept();
}

void Verz::Form_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF where)
{
    drag_.StartWindowDrag(*this, mapToGlobal(where.toPoint()));
}

void Verz::mousePressEvent(QMouseEvent *event)
{
    // Only the bare surface moves the window; the outlines take no input, so
    // a press on one counts as a press on the surface.
    if (childAt(event->position().toPoint()) != nullptr) {
        event->ignore();
        return;
    }
    event->accept();
    Form_MouseDown(event->buttons(), event->modifiers(), event->position());
}

void Verz::mouseMoveEvent(QMouseEvent *event)
{
    drag_.follow(*this, event->globalPosition().toPoint());
}

void Verz::mouseReleaseEvent(QMouseEvent *)
{
    drag_.end();
}

}  // namespace verz
