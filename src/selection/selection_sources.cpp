#include "selection/selection_sources.h"

#include "platform/app_info.h"
#include "platform/settings_store.h"
#include "selection/global_shortcut.h"
#include "selection/portal_shortcut.h"
#include "selection/selection_command.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <QProcess>

#include <algorithm>

namespace verz {

namespace {

// The key's press: the selection as the session gives it, or as the window
// takes it once brought to the front and focused.
void TranslateSelectionOnKey(const SelectionReceiver &receiver, const FrontBringer &bringer)
{
    const TakenSelection taken = TakeUsableSelection();
    if (taken.text.isEmpty() && taken.onlyWithFocus) {
        bringer(QString());
        TakeSelectionForNewWindow(receiver, -1);
        return;
    }
    if (!taken.text.isEmpty())
        receiver(taken.text, DetectedSelectionRow(taken.text));
}

QString KeysSetting(const char16_t *key, const char16_t *fallback)
{
    return GetSetting(ExecutableBaseName(), QStringLiteral("data"), QString::fromUtf16(key),
                      QString::fromUtf16(fallback));
}

}  // namespace

SelectionSources::SelectionSources(const SelectionReceiver &receiver, const FrontBringer &bringer)
    : endpoint_(receiver), receiver_(receiver)
{
    const auto pressed = [receiver, bringer] { TranslateSelectionOnKey(receiver, bringer); };
    const auto ocrPressed = [this] { readScreenArea(); };
    endpoint_.setFrontBringer(bringer);
    endpoint_.publish();
    const QString keys = KeysSetting(kShortcutSettingKey, kDefaultShortcut);
    const QString ocrKeys = KeysSetting(kOcrShortcutSettingKey, kDefaultOcrShortcut);
    if (QGuiApplication::platformName() != u"xcb") {
        // No program may grab keys outside X11: the desktop's portal binds them.
        portal_ = std::make_unique<PortalShortcut>(QList<PortalBinding>{
            {QStringLiteral("traduire-selection"), QStringLiteral("Traduire la sélection"), keys,
             pressed},
            {QStringLiteral("traduire-zone"), QStringLiteral("Traduire une zone de l’écran"),
             ocrKeys, ocrPressed}});
        portal_->bind();
        return;
    }
    shortcut_ = std::make_unique<GlobalShortcut>(pressed);
    ocrShortcut_ = std::make_unique<GlobalShortcut>(ocrPressed);
    for (GlobalShortcut *shortcut : {shortcut_.get(), ocrShortcut_.get()}) {
        QString problem;
        if (!shortcut->grab(shortcut == shortcut_.get() ? keys : ocrKeys, &problem))
            SayOnError(problem);
    }
}

SelectionSources::~SelectionSources() = default;

void SelectionSources::readScreenArea()
{
    // The key pressed again while the user draws: the area being drawn counts.
    if (screenReader_ && screenReader_->state() != QProcess::NotRunning)
        return;
    // A process of its own: the overlay and the reading never stall the
    // window. Its text comes back on its output, to this window alone.
    screenReader_ = std::make_unique<QProcess>();
    screenReader_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kAreaForCallerVariable), QStringLiteral("1"));
    screenReader_->setProcessEnvironment(environment);
    QObject::connect(screenReader_.get(), &QProcess::readChannelFinished, screenReader_.get(),
                     [this] { takeScreenText(); });
    screenReader_->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--ocr-screen")});
}

void SelectionSources::takeScreenText()
{
    // The command cuts what it read to a selection's size; more than that
    // is not its answer. Only a whole answer counts: the size it announced.
    constexpr qint64 kMaxAnswerBytes = 4 * 1024 * 1024;
    if (screenReader_->bytesAvailable() > kMaxAnswerBytes)
        return;
    const QByteArray answer = screenReader_->readAllStandardOutput();
    const qsizetype lineEnd = answer.indexOf('\n');
    const QList<QByteArray> head = answer.left(std::max<qsizetype>(lineEnd, 0)).split(' ');
    if (lineEnd < 0 || head.size() != 2)
        return;
    bool isRow = false;
    bool isSize = false;
    const int row = head[0].toInt(&isRow);
    const qsizetype size = head[1].toLongLong(&isSize);
    const QByteArray text = answer.mid(lineEnd + 1);
    if (isRow && isSize && text.size() == size && !text.trimmed().isEmpty())
        receiver_(QString::fromUtf8(text), row);
}

}  // namespace verz
