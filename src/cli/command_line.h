#pragma once

#include <QString>
#include <QStringList>

namespace verz {

// What the command line asks for. Options may stand anywhere among the words
// of the text until "--", after which every argument is text (one that starts
// with a dash, say).
struct CommandLine {
    enum class Action {
        Translate,
        TranslateFile,
        Selection,
        Detect,
        ReadPicture,
        ScreenText,
        ListPairs,
        Version,
        Help,
        UsageError
    };

    Action action = Action::Translate;
    QString pairCode;  // as given to --pair, checked against the catalogue
    int pairRow = -1;  // the code's row in the catalogue
    // --pair auto, 'auto|en': the pair chosen from the detected language of
    // each text, into autoTarget (empty: into French, French into English).
    bool autoPair = false;
    QString autoTarget;
    bool fold = false;
    // --selection: the text selected in another program, for a window or,
    // with --notify, for a desktop notification; --pair is then optional.
    bool notify = false;
    // --file IN [--output OUT] [--force]: a whole document.
    QString inputFile;
    QString outputFile;
    bool force = false;
    // --ocr IMAGE: the text read in the picture, translated; --ocr-only IMAGE:
    // printed as read. Without --pair the language is detected.
    QString picture;
    bool ocrOnly = false;
    // --ocr-screen (ScreenText): the text of a rectangle the user draws on
    // the screen, for the running window or, with --notify, a notification.
    // The words of the text, or none: standard input is then read.
    QStringList words;
    // For UsageError: what is wrong, in French, for standard error.
    QString problem;
};

// Reads the arguments after the program name. --help wins over --version,
// which wins over --list-pairs, which wins over translating; an unknown option,
// a --pair without its code or with a code the catalogue does not hold, or a
// translation without --pair is a usage error. --detect prints the language
// of the text instead of translating it. --selection and --ocr-screen take no
// text and --notify goes only with them; words, --fold or --selection with --file, and
// --output or --force without it, are usage errors too.
CommandLine ParseCommandLine(const QStringList &arguments);

// The catalogue row whose code is exactly code, or -1 (separators never match).
int PairRowForCode(const QString &code);

}  // namespace verz
