#include "cli/auto_pair.h"

#include "cli/cli_main.h"
#include "cli/command_line.h"
#include "detect/detected_pair.h"
#include "detect/language_detector.h"
#include "pairs/pair_catalogue.h"

#include <istream>
#include <ostream>

namespace verz {

namespace {

// Detection reads a prefix anyway; standard input is read no further.
constexpr std::streamsize kDetectInputBytes = 64 * 1024;

}  // namespace

DetectedChoice ChooseDetectedPair(const QString &text, const QString &target)
{
    const LanguageGuess guess = DetectLanguage(text);
    DetectedChoice choice;
    if (guess.code.isEmpty()) {
        choice.problem = QStringLiteral("aucune langue reconnue dans le texte");
        return choice;
    }
    const QString code = PairForDetectedLanguage(guess.code, target);
    if (code.isEmpty()) {
        const QString into = target.isEmpty() ? QStringLiteral("fr") : target;
        choice.problem = NoSuchDetectedPairMessage(guess.code, into);
        return choice;
    }
    choice.row = PairRowForCode(code);
    choice.sure = guess.sure;
    return choice;
}

PairTranslators::PairTranslators(ServiceAccess service, bool fold)
    : service_(std::move(service)), fold_(fold)
{
}

LineTranslator &PairTranslators::forRow(int row)
{
    std::unique_ptr<LineTranslator> &translator = translators_[row];
    if (!translator) {
        translator =
            std::make_unique<LineTranslator>(service_, row, PairCatalogue()[row].codeText(), fold_);
    }
    return *translator;
}

int PrintDetectedLanguage(const CommandLine &line, std::istream &in, std::ostream &out,
                          std::ostream &err)
{
    QString text = line.words.join(u' ');
    if (line.words.isEmpty()) {
        std::string bytes(static_cast<size_t>(kDetectInputBytes), '\0');
        in.read(bytes.data(), kDetectInputBytes);
        bytes.resize(static_cast<size_t>(in.gcount()));
        text = QString::fromUtf8(bytes);
    }
    const LanguageGuess guess = DetectLanguage(text);
    if (guess.code.isEmpty()) {
        err << "Verzolan : aucune langue reconnue dans le texte\n";
        return kExitNothingRecognised;
    }
    out << guess.code.toStdString() << '\t'
        << QString::number(guess.confidence, 'f', 1).toStdString() << '\n';
    return kExitTranslated;
}

}  // namespace verz
