#pragma once

#include <QStringList>

#include <functional>
#include <iosfwd>

namespace verz {

struct ServiceAccess;

// Exit statuses, as the usual Unix tools give them.
// 3: nothing to work on was found (no language in the text, no text in a picture).
enum ExitStatus : int {
    kExitTranslated = 0,
    kExitNotConnected = 1,
    kExitUsage = 2,
    kExitNothingRecognised = 3
};

// True when the program was started with arguments: it then runs as a command
// line under a core application, with no window, no platform plugin and no
// display. Decided on argv alone, before any application object exists.
inline bool WantsCommandLine(int argc)
{
    return argc > 1;
}

// Runs the command line under its own QCoreApplication; the service comes
// from the settings. Returns the exit status.
int CommandLineMain(int argc, char **argv);

// The command line proper, once an application object exists: arguments
// without the program name; text read from in and written to out as UTF-8,
// one line each; messages to err. service is asked for only when there is
// something to translate.
int RunCommandLine(const QStringList &arguments, const std::function<ServiceAccess()> &service,
                   std::istream &in, std::ostream &out, std::ostream &err);

}  // namespace verz
