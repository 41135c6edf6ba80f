#include "cli/cli_main.h"

#include "cli/cli_texts.h"
#include "cli/command_line.h"
#include "cli/document_command.h"
#include "cli/line_translator.h"
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

// One translated line; false (after saying so on err) when the service could
// not be reached. Blank lines are kept blank and never sent.
bool TranslateLine(LineTranslator &translator, const QString &line, const QString &host,
                   std::ostream &out, std::ostream &err)
{
    if (IsBlank(line)) {
        out << '\n' << std::flush;
        return true;
    }
    const std::optional<QString> translation = translator.translate(line);
    if (!translation) {
        Print(err, QStringLiteral("Verzolan : Non Connecté (le service de traduction ") + host +
                       QStringLiteral(" ne répond pas)\n"));
        return false;
    }
    // Flushed line by line, so that a pipe or a terminal sees each at once.
    Print(out, *translation + u'\n');
    out << std::flush;
    return true;
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
        // Taken by the program's main before a core application is made: the
        // selection needs the display.
        Print(err, QStringLiteral("Verzolan : --selection a besoin d’un affichage\n"));
        return kExitUsage;
    case CommandLine::Action::TranslateFile:
        return TranslateDocumentFile(line, service(), out, err);
    case CommandLine::Action::Translate:
        break;
    }

    const ServiceAccess access = service();
    LineTranslator translator(access, line.pairRow, line.pairCode, line.fold);
    if (!line.words.isEmpty()) {
        const bool translated =
            TranslateLine(translator, line.words.join(u' '), access.host, out, err);
        return translated ? kExitTranslated : kExitNotConnected;
    }
    // Line by line as it comes, so a long file or a slow pipe never waits for
    // its end; the first failure stops: the next lines would fail alike.
    std::string bytes;
    while (std::getline(in, bytes)) {
        if (!bytes.empty() && bytes.back() == '\r')
            bytes.pop_back();  // a file written with CR LF line ends
        if (!TranslateLine(translator, QString::fromStdString(bytes), access.host, out, err))
            return kExitNotConnected;
    }
    return kExitTranslated;
}

}  // namespace verz
