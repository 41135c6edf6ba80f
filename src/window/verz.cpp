#include "window/verz.h"

#include "assets_init.h"
#include "engine/scratch_file.h"
#include "engine/service_endpoint.h"
#include "engine/service_starter.h"
#include "engine/service_warmer.h"
#include "engine/translation_request.h"
#include "platform/app_info.h"
#include "shape/screen_scale.h"
#include "shape/window_region.h"
#include "widgets/accessible_controls.h"
#include "widgets/focus_ring.h"
#include "window/box_text.h"
#include "window/control_factory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace verz {

Verz::Verz(QWidget *parent) : Verz(StartupTrace{}, parent) {}

Verz::Verz(StartupTrace trace, QWidget *parent)
    // Qt::Window keeps the task-bar entry, the only way back after "Réduire".
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), trace_(std::move(trace)),
      twips_(TwipsPerPixel(logicalDpiX())),
      programEnder_([](int status) { QCoreApplication::exit(status); })
{
    VerzInitAssets();
    InstallAccessibleControls();
    setWindowTitle(QStringLiteral("Verzolan"));
    setWindowIcon(QIcon(QStringLiteral(":/assets/globe.ico")));
    // Images are reentrant: the thread owns its copy until Form_Load takes it.
    skinReading_ = std::async(std::launch::async, [] {
        Skin skin{ReadPicture(QStringLiteral(":/assets/skin.bmp")), {}};
        skin.outline = RegionFromImage(skin.picture);
        return skin;
    });
    // The client area as designed, until the skin gives the window its size.
    resize(twips_.toPixels(11235), twips_.toPixels(6705));
    // Every control sets its own font; the window's UI face is theirs from the
    // start, so the text boxes, which lay their text out as soon as they are
    // made, never look up and load the desktop's default face first.
    setFont(FontFor(FontEntry{}));
    request_ = std::make_unique<TranslationRequest>(
        ServiceHostFromSettings(ExecutableBaseName()),
        TranslationRequest::ScratchPathSource(&ScratchFilePath));
    if (!ServiceNamedInSettings(ExecutableBaseName())) {
        // One starter for the warm-up and the click: a click during the
        // warm-up's start waits for that start instead of making another.
        const std::shared_ptr<ServiceStarter> starter = ServiceStarter::ForDefaultService();
        request_->setServiceStarter(starter);
        if (WarmUpWanted())
            warmer_ =
                std::make_unique<ServiceWarmer>(QString::fromUtf16(kDefaultServiceHost), starter);
    }
    BuildControls();
    Form_Load();
}

Verz::~Verz()
{
    setBusy(false);
}

Control *Verz::control(const QString &name, int index) const
{
    for (Control *c : collection_) {
        if (c->name() == name && c->index() == index)
            return c;
    }
    return nullptr;
}

void Verz::Trace(const char16_t *step) const
{
    if (trace_)
        trace_(QString::fromUtf16(step));
}

void Verz::WarmChosenPair()
{
    // Before the window shows, start-up is choosing the stored pair: that one
    // is warmed once the window is up, so start-up waits for nothing.
    if (warmer_ && isVisible())
        warmer_->warm(Lang());
}

void Verz::Command6_Click()
{
    request_->translate(*this);
    // A selection that came in meanwhile had to wait for this one.
    if (!waitingSelections_.empty() && !translatingSelections_)
        QTimer::singleShot(0, this, [this] { TranslateWaitingSelections(); });
}

QString Verz::inputText() const
{
    return text1();
}

int Verz::foldValue() const
{
    switch (w_.Check1->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

int Verz::pairRow() const
{
    return comboListIndex();
}

QString Verz::pairCode() const
{
    return Lang();
}

QString Verz::outputText() const
{
    return text2();
}

void Verz::setOutputText(const QString &text)
{
    setText2(text);
    Announce(text);
}

void Verz::appendTranslation(const QString &translation)
{
    // The same text as AppendTranslation(text2(), translation) gives.
    const QString separator = w_.Text2->document()->isEmpty() ? QString() : QStringLiteral("\r\n");
    AppendBoxText(*w_.Text2, separator + translation + QLatin1Char(' '));
    Announce(translation);
}

void Verz::setBusy(bool busy)
{
    if (busy == busy_)
        return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

int Verz::comboListIndex() const
{
    return pairs_.row();
}

}  // namespace verz
