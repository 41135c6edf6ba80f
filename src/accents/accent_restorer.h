#pragma once

#include "accents/known_words.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace verz {

// One piece of a text: a run of letters, or whatever lies between two.
struct TextPiece {
    QString text;
    bool word = false;
};

QList<TextPiece> SplitWords(const QString &text);

// Puts back the accents of a French, Spanish, Portuguese or Italian text
// typed without them or folded by the window, so that the translation engine
// sees words it knows. A word the dictionary does not know is replaced by its
// re-accented form when that one is known; a known word that is also the
// folded form of another ("a"/"à", "e"/"è") changes only by context rules,
// and only when the text shows no sign of having kept its accents.
class AccentRestorer {
public:
    AccentRestorer(QString language, std::unique_ptr<KnownWords> words);
    // Debian's hunspell dictionary for "fr", "es", "pt" or "it" from
    // hunspellDir; nullptr for another language or a missing dictionary.
    static std::unique_ptr<AccentRestorer>
    ForLanguage(const QString &language,
                const QString &hunspellDir = QStringLiteral("/usr/share/hunspell"));

    QString restore(const QString &text) const;
    const QString &language() const { return language_; }

private:
    QString reaccented(const QString &word) const;

    QString language_;
    std::unique_ptr<KnownWords> words_;
};

// One restorer per source language, each loading its dictionary on first
// use (French takes about a second); languages without one pass unchanged.
class AccentRestorers {
public:
    explicit AccentRestorers(QString hunspellDir = QStringLiteral("/usr/share/hunspell"));
    QString restore(const QString &language, const QString &text);

private:
    QString hunspellDir_;
    QHash<QString, std::shared_ptr<AccentRestorer>> loaded_;  // null: none for that language
};

// True when the text holds one of the twelve letters the window folds: it was
// not folded, and its writer types accents.
bool HasFoldedLetters(const QString &text);

}  // namespace verz
