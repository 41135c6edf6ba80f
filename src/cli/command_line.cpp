#include "cli/command_line.h"

#include "common/languages.h"
#include "detect/detected_pair.h"
#include "pairs/pair_catalogue.h"

#include <utility>

namespace verz {

namespace {

CommandLine UsageError(QString problem)
{
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.problem = std::move(problem);
    return line;
}

QString Quoted(const QString &text)
{
    return QStringLiteral("« ") + text + QStringLiteral(" »");
}

}  // namespace

int PairRowForCode(const QString &code)
{
    const auto &catalogue = PairCatalogue();
    for (int row = 0; row < kPairRowCount; ++row) {
        const QString rowCode = catalogue[row].codeText();
        if (!rowCode.isEmpty() && rowCode == code)
            return row;
    }
    return -1;
}

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    bool help = false;
    bool version = false;
    bool listPairs = false;
    bool pairGiven = false;
    bool selection = false;
    bool screen = false;
    bool detect = false;
    bool optionsEnded = false;
    for (qsizetype at = 0; at < arguments.size(); ++at) {
        const QString &argument = arguments[at];
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            line.words.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"--help" || argument == u"-h") {
            help = true;
        } else if (argument == u"--version") {
            version = true;
        } else if (argument == u"--list-pairs") {
            listPairs = true;
        } else if (argument == u"--selection") {
            selection = true;
        } else if (argument == u"--ocr-screen") {
            screen = true;
        } else if (argument == u"--detect") {
            detect = true;
        } else if (argument == u"--notify") {
            line.notify = true;
        } else if (argument == u"--fold") {
            line.fold = true;
        } else if (argument == u"--pair") {
            if (at + 1 >= arguments.size())
                return UsageError(QStringLiteral("l’option --pair attend un code de paire "
                                                 "(voir --list-pairs)"));
            line.pairCode = arguments[++at];
            pairGiven = true;
        } else if (argument == u"--ocr" || argument == u"--ocr-only") {
            if (at + 1 >= arguments.size())
                return UsageError(QStringLiteral("l’option ") + argument +
                                  QStringLiteral(" attend une image (PNG, JPEG ou TIFF)"));
            line.picture = arguments[++at];
            line.ocrOnly = line.ocrOnly || argument == u"--ocr-only";
        } else if (argument == u"--file" || argument == u"--output") {
            if (at + 1 >= arguments.size())
                return UsageError(QStringLiteral("l’option ") + argument +
                                  QStringLiteral(" attend un nom de fichier"));
            (argument == u"--file" ? line.inputFile : line.outputFile) = arguments[++at];
        } else if (argument == u"--force") {
            line.force = true;
        } else if (argument.startsWith(u"--pair=")) {
            line.pairCode = argument.mid(7);
            pairGiven = true;
        } else {
            return UsageError(QStringLiteral("option inconnue ") + Quoted(argument));
        }
    }
    if (help) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (version) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (listPairs) {
        line.action = CommandLine::Action::ListPairs;
        return line;
    }
    if (detect) {
        if (selection || pairGiven || line.fold || !line.inputFile.isEmpty())
            return UsageError(QStringLiteral("--detect n’affiche que la langue du texte : "
                                             "ni --pair, ni --fold, ni --selection, ni --file"));
        line.action = CommandLine::Action::Detect;
        return line;
    }
    if (!line.picture.isEmpty()) {
        if (selection || line.fold || !line.words.isEmpty() || !line.inputFile.isEmpty() ||
            !line.outputFile.isEmpty() || line.force)
            return UsageError(QStringLiteral("--ocr lit une image : ni texte, ni --fold, ni "
                                             "--selection, ni --file avec elle"));
        line.action = CommandLine::Action::ReadPicture;
        if (!pairGiven)
            line.pairCode = QStringLiteral("auto");
        pairGiven = true;
    }
    if (screen) {
        if (selection || !line.picture.isEmpty() || line.fold || !line.words.isEmpty() ||
            !line.inputFile.isEmpty() || !line.outputFile.isEmpty() || line.force)
            return UsageError(QStringLiteral("--ocr-screen lit une zone de l’écran : ni texte, "
                                             "ni --fold, ni --selection, ni --ocr, ni --file "
                                             "avec elle"));
        line.action = CommandLine::Action::ScreenText;
        if (!pairGiven)
            line.pairCode = QStringLiteral("auto");
        pairGiven = true;
    }
    if (pairGiven && IsAutoPairCode(line.pairCode, &line.autoTarget)) {
        if (!line.autoTarget.isEmpty() && !LanguageByCode(line.autoTarget))
            return UsageError(QStringLiteral("langue cible inconnue ") + Quoted(line.autoTarget) +
                              QStringLiteral(" (fr, en, de, es, pt ou it)"));
        if (!line.inputFile.isEmpty())
            return UsageError(QStringLiteral("--file demande une paire précise, pas « auto »"));
        line.autoPair = true;
    }
    if (line.notify && !selection && !screen)
        return UsageError(QStringLiteral("l’option --notify va avec --selection ou --ocr-screen"));
    if (selection && !line.words.isEmpty())
        return UsageError(QStringLiteral("--selection traduit le texte sélectionné et ne prend "
                                         "aucun texte en argument"));
    if (selection && (!line.inputFile.isEmpty() || !line.outputFile.isEmpty() || line.force))
        return UsageError(QStringLiteral("--selection et --file ne vont pas ensemble"));
    if (selection)
        line.action = CommandLine::Action::Selection;
    if (selection && (!pairGiven || line.autoPair))
        return line;
    if (!pairGiven)
        return UsageError(QStringLiteral("indiquez la paire de langues avec --pair CODE "
                                         "(voir --list-pairs)"));
    if (line.autoPair) {
        if (!line.outputFile.isEmpty() || line.force)
            return UsageError(QStringLiteral("--output et --force vont avec --file FICHIER"));
        return line;
    }
    line.pairRow = PairRowForCode(line.pairCode);
    if (line.pairRow < 0)
        return UsageError(QStringLiteral("paire de langues inconnue ") + Quoted(line.pairCode) +
                          QStringLiteral(" (voir --list-pairs)"));
    if (line.inputFile.isEmpty()) {
        if (!line.outputFile.isEmpty() || line.force)
            return UsageError(QStringLiteral("--output et --force vont avec --file FICHIER"));
        return line;
    }
    if (!line.words.isEmpty() || line.fold)
        return UsageError(
            QStringLiteral("--file traduit un document : ni texte ni --fold avec lui"));
    line.action = CommandLine::Action::TranslateFile;
    return line;
}

}  // namespace verz
