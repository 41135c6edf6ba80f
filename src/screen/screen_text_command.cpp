#include "screen/screen_text_command.h"

#include "cli/cli_main.h"
#include "cli/command_line.h"
#include "detect/detected_pair.h"
#include "ocr/bounded_ocr.h"
#include "screen/area_overlay.h"
#include "screen/screen_area.h"
#include "screen/screenshot_portal.h"
#include "selection/selection_sources.h"
#include "selection/selection_text.h"
#include "selection/session_selection.h"

#include <QGuiApplication>

#include <cstdio>

namespace verz {

namespace {

// The user draws at leisure, but an overlay forgotten on a screen must not
// hold the keyboard for ever; the portal asks the user the same way.
constexpr int kPickTimeoutMs = 5 * 60 * 1000;
// Nothing was read: cancelled, or no screen to read.
constexpr int kExitNothingRead = 1;

SelectionHandOver Ended(int status)
{
    SelectionHandOver handOver;
    handOver.exitStatus = status;
    return handOver;
}

PickedArea PickArea()
{
    // Only X11 lets a program read the screen and take the pointer itself.
    if (QGuiApplication::platformName() == u"xcb")
        return PickAreaOnScreen(kPickTimeoutMs);
    return PickAreaThroughPortal(kPickTimeoutMs);
}

// The window that ran this command reads the text from its output.
int PrintForCaller(const QString &text, int row)
{
    // The row and the text's size on the first line: the caller takes the
    // answer as the output closes, before this process has wound down.
    const QByteArray utf8 = text.toUtf8();
    const QByteArray answer =
        QByteArray::number(row) + ' ' + QByteArray::number(utf8.size()) + '\n' + utf8;
    const bool written = std::fwrite(answer.constData(), 1, static_cast<std::size_t>(answer.size()),
                                     stdout) == static_cast<std::size_t>(answer.size());
    return written && std::fclose(stdout) == 0 ? 0 : kExitNothingRead;
}

}  // namespace

SelectionHandOver ScreenTextCommand(const CommandLine &line)
{
    const PickedArea picked = PickArea();
    if (picked.outcome == PickedArea::Outcome::Cancelled) {
        SayOnError(QStringLiteral("zone annulée : rien n’a été lu ni traduit."));
        return Ended(kExitNothingRead);
    }
    if (picked.outcome == PickedArea::Outcome::Failed) {
        SayOnError(picked.problem);
        return Ended(kExitNothingRead);
    }
    const PictureText picture = ReadAreaText(picked.png, line);
    if (picture.read.status != OcrResult::Status::Read) {
        SayOnError(OcrProblemMessage(picture.read.status, QStringLiteral("zone de l’écran"),
                                     picture.firstLanguage));
        return Ended(picture.read.status == OcrResult::Status::NoText ? kExitNothingRecognised
                                                                      : kExitUsage);
    }
    // As bounded as a selection, and carried the same way.
    const TakenSelection taken = FitSelection(picture.read.text.trimmed());
    if (!taken.notice.isEmpty())
        SayOnError(taken.notice);
    int row = line.pairRow;
    if (line.autoPair) {
        const QString code = PairForDetectedLanguage(picture.source, line.autoTarget);
        // A language the pairs do not start from: the window's choice.
        row = code.isEmpty() ? DetectedSelectionRow(taken.text, line.autoTarget)
                             : PairRowForCode(code);
    }
    if (line.notify)
        return Ended(NotifyTranslation(taken.text, row, !taken.notice.isEmpty()));
    if (qEnvironmentVariableIsSet(kAreaForCallerVariable))
        return Ended(PrintForCaller(taken.text, row));
    return HandTextToWindow(taken.text, row);
}

}  // namespace verz
