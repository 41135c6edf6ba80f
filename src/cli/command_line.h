#pragma once

#include <QString>
#include <QStringList>

namespace verz {

// What the command line asks for. Options come before the text; "--" ends
// them, so a text may start with a dash.
struct CommandLine {
    enum class Action { Translate, ListPairs, Version, Help, UsageError };

    Action action = Action::Translate;
    QString pairCode;  // as given to --pair, checked against the catalogue
    int pairRow = -1;  // the code's row in the catalogue
    bool fold = false;
    // The words of the text, or none: standard input is then read.
    QStringList words;
    // For UsageError: what is wrong, in French, for standard error.
    QString problem;
};

// Reads the arguments after the program name. --help wins over --version,
// which wins over --list-pairs, which wins over translating; an unknown option,
// a --pair without its code or with a code the catalogue does not hold, or a
// translation without --pair is a usage error.
CommandLine ParseCommandLine(const QStringList &arguments);

// The catalogue row whose code is exactly code, or -1 (separators never match).
int PairRowForCode(const QString &code);

}  // namespace verz
