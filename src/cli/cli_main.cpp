#include "cli/cli_main.h"

#include "cli/auto_pair.h"
#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/document_command.h"
#include "cli/line_translator.h"
#include "cli/picture_command.h"
#include "platform/app_info.h"

#include <QCoreApplication>

#include <iostream>
#include <optional>
#include <string>

namespace verz {

namespace {

void Print(std::ostream &stream, const QString &text)
{
    stream << text.toStdString();
}

// The pair of each text: the one given, or with --pair auto the detected
// one. A text the detector is unsure of keeps the pair of the last text it
// was sure of, so that a short line amid a German page stays German.
class PairChooser {
public:
    explicit PairChooser(const CommandLine &line) : line_(line) {}

    // -1 after saying why on err (a pair the twelve do not hold).
    int rowFor(const QString &text, std::ostream &err)
    {
        if (!line_.autoPair)
            return line_.pairRow;
        const DetectedChoice choice = ChooseDetectedPair(text, line_.autoTarget);
        if (!choice.sure && lastSureRow_ >= 0)
            return lastSureRow_;
        if (choice.row < 0) {
            Print(err, QStringLiteral("Verzolan : ") + choice.problem + u'\n');
            return -1;
        }
        if (choice.sure)
            lastSureRow_ = choice.row;
        return choice.row;
    }

private:
    const CommandLine &line_;
    int lastSureRow_ = -1;
};

// One translated line; false (after saying so on err) when the service could
// not be reached. Blank lines are kept blank and never sent.
int TranslateLine(PairTranslators &translators, PairChooser &chooser, const QString &line,
                  const QString &host, std::ostream &out, std::ostream &err)
{
    if (IsBlank(line)) {
        out << '\n' << std::flush;
        return kExitTranslated;
    }
    const int row = chooser.rowFor(line, err);
    if (row < 0)
        return kExitUsage;
    const std::optional<QString> translation = translators.forRow(row).translate(line);
    if (!translation) {
        Print(err, QStringLiteral("Verzolan : ") + NotConnectedMessage(host) + u'\n');
        return kExitNotConnected;
    }
    // Flushed line by line, so that a pipe or a terminal sees each at once.
    Print(out, *translation + u'\n');
    out << std::flush;
    return kExitTranslated;
}

}  // namespace

int CommandLineMain(int argc, char **argv)
{
    const QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return RunCommandLine(
        arguments, [] { return ServiceAccessFromSettings(ExecutableBaseName()); }, std::cin,
        std::cout, std::cerr);
}

int RunCommandLine(const QStringList &arguments, const std::function<ServiceAccess()> &service,
                   std::istream &in, std::ostream &out, std::ostream &err)
{
    const CommandLine line = ParseCommandLine(arguments);
    switch (line.action) {
    case CommandLine::Action::UsageError:
        Print(err, QStringLiteral("Verzolan : ") + line.problem +
                       QStringLiteral("\nEssayez « Verzolan --help ».\n"));
        return kExitUsage;
    case CommandLine::Action::Help:
        Print(out, HelpText());
        return kExitTranslated;
    case CommandLine::Action::Version:
        Print(out, VersionLine());
        return kExitTranslated;
    case CommandLine::Action::ListPairs:
        Print(out, PairListText());
        return kExitTranslated;
    case CommandLine::Action::Selection:
    case CommandLine::Action::ScreenText:
        // Taken by the program's main before a core application is made:
        // both need the display.
        Print(err, QStringLiteral("Verzolan : --selection et --ocr-screen ont besoin d’un "
                                  "affichage\n"));
        return kExitUsage;
    case CommandLine::Action::Detect:
        return PrintDetectedLanguage(line, in, out, err);
    case CommandLine::Action::ReadPicture:
        return ReadPictureCommand(line, service, out, err);
    case CommandLine::Action::TranslateFile:
        return TranslateDocumentFile(line, service(), out, err);
    case CommandLine::Action::Translate:
        break;
    }

    const ServiceAccess access = service();
    PairTranslators translators(access, line.fold);
    PairChooser chooser(line);
    if (!line.words.isEmpty())
        return TranslateLine(translators, chooser, line.words.join(u' '), access.host, out, err);
    // Line by line as it comes, so a long file or a slow pipe never waits for
    // its end; the first failure stops: the next lines would fail alike.
    std::string bytes;
    while (std::getline(in, bytes)) {
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();  // a file written with CR LF line ends
        const int status = TranslateLine(translators, chooser, QString::fromStdString(bytes),
                                         access.host, out, err);
        if (status != kExitTranslated)
            return status;
    }
    return kExitTranslated;
}

}  // namespace verz
