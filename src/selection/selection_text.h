#pragma once

#include <QString>

class QClipboard;

namespace verz {

// A selection longer than this is cut, with a notice: the text travels
// percent-encoded in the request line, which the local service reads up to
// 64 KiB; 16 Ki characters of text in the pairs' languages stay well within
// it, and are some 2 500 words, a long article.
inline constexpr qsizetype kMaxSelectionLength = 16 * 1024;

// What another program offered as its selected text.
struct TakenSelection {
    QString text;
    // Set when the text had to be cut, in French, for the user.
    QString notice;
    // Set, with no text, when only a focused window may read the selection
    // (see TakeSessionSelection).
    bool onlyWithFocus = false;
};

// The primary selection (what the pointer selected last), or the clipboard
// where the platform has none or it holds no text, decoded as the window's
// "Coller" decodes the clipboard; then made fit: see FitSelection.
TakenSelection TakeSelection(const QClipboard &clipboard);

// Makes a text safe to carry and bounded: NUL characters, which the session
// bus cannot carry, are dropped, an unpaired surrogate becomes U+FFFD, and a
// text longer than kMaxSelectionLength is cut there (never inside a
// surrogate pair) with a notice that says so.
TakenSelection FitSelection(QString text);

// Empty, or nothing but white space: there is nothing to translate.
bool IsEmptySelection(const QString &text);

// The pair for a selected text from its detected language, as a click on
// that pair's button would choose it: into French, French into English, and
// Spanish, Portuguese or Italian into English, their only pair (into target
// when one is given, --pair 'auto|en'). -1 when the detector is unsure or no
// pair fits: the window's chosen pair then, as before detection.
int DetectedSelectionRow(const QString &text, const QString &target = {});

// The French messages of a selection command.
QString NothingSelectedMessage();

}  // namespace verz
