#include "selection/selection_text.h"

#include "cli/command_line.h"
#include "detect/detected_pair.h"
#include "detect/language_detector.h"

#include <QClipboard>
#include <QMimeData>

namespace verz {

namespace {

QString TextOf(const QClipboard &clipboard, QClipboard::Mode mode)
{
    const QMimeData *data = clipboard.mimeData(mode);
    if (data == nullptr || !data->hasText())
        return QString();
    return data->text();
}

}  // namespace

TakenSelection TakeSelection(const QClipboard &clipboard)
{
    QString text;
    if (clipboard.supportsSelection())
        text = TextOf(clipboard, QClipboard::Selection);
    if (IsEmptySelection(text))
        text = TextOf(clipboard, QClipboard::Clipboard);
    return FitSelection(std::move(text));
}

TakenSelection FitSelection(QString text)
{
    TakenSelection taken;
    text.remove(QChar(u'\0'));
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            ++at;
            continue;
        }
        if (c.isSurrogate())
            text[at] = QChar::ReplacementCharacter;
    }
    if (text.size() > kMaxSelectionLength) {
        qsizetype end = kMaxSelectionLength;
        if (text[end - 1].isHighSurrogate())
            --end;
        taken.notice = QStringLiteral("La sélection compte %1 caractères : seuls les %2 premiers "
                                      "sont traduits.")
                           .arg(text.size())
                           .arg(end);
        text.truncate(end);
    }
    taken.text = std::move(text);
    return taken;
}

bool IsEmptySelection(const QString &text)
{
    return text.trimmed().isEmpty();
}

QString NothingSelectedMessage()
{
    return QStringLiteral("Rien n’est sélectionné : sélectionnez un texte dans un programme, "
                          "puis recommencez.");
}

int DetectedSelectionRow(const QString &text, const QString &target)
{
    const LanguageGuess guess = DetectLanguage(text);
    if (!guess.sure)
        return -1;
    const QString code = target.isEmpty() ? PreferredPairFor(guess.code)
                                          : PairForDetectedLanguage(guess.code, target);
    return code.isEmpty() ? -1 : PairRowForCode(code);
}

}  // namespace verz
