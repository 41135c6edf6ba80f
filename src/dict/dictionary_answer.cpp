#include "dict/dictionary_answer.h"

#include "dict/dictionary.h"
#include "dict/word_forms.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

namespace verz {

namespace {

constexpr qsizetype kShortestInput = 3;  // words; past it, word by word
constexpr int kPhraseTranslations = 6;
constexpr int kWordTranslations = 3;
constexpr qsizetype kLongestPhrase = 3;  // words, as the dictionaries' set phrases go
// A look-up that finds entries inflates a few chunks of the data file; a
// long text stops being looked up past this many different words, so one
// request never holds the service for long.
constexpr qsizetype kMostLookups = 300;

const QRegularExpression &WordPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("[\\p{L}\\p{N}]+(?:[-'’][\\p{L}\\p{N}]+)*"));
    return pattern;
}

// Look-ups for one answer: each word or phrase asked once, however often it
// comes back in the text.
class Lookups {
public:
    Lookups(Dictionary &dictionary, const QString &sourceCode)
        : dictionary_(dictionary), sourceCode_(sourceCode)
    {
    }

    // A single word is tried in its dictionary forms, a phrase as it is.
    QStringList translations(const QString &words, int limit)
    {
        const QString key = words + QLatin1Char('\n') + QString::number(limit);
        if (const auto known = known_.constFind(key); known != known_.constEnd())
            return *known;
        if (known_.size() >= kMostLookups) {
            exhausted_ = true;
            return {};
        }
        QStringList found;
        const QStringList forms =
            words.contains(u' ') ? QStringList{words} : DictionaryForms(sourceCode_, words);
        for (const QString &form : forms) {
            found = dictionary_.translations(form, limit);
            if (!found.isEmpty())
                break;
        }
        known_.insert(key, found);
        return found;
    }

    bool exhausted() const { return exhausted_; }

private:
    Dictionary &dictionary_;
    QString sourceCode_;
    QHash<QString, QStringList> known_;
    bool exhausted_ = false;
};

struct Word {
    QString text;
    qsizetype start;
    qsizetype end;
};

QList<Word> WordsOf(const QString &text)
{
    QList<Word> words;
    QRegularExpressionMatchIterator matches = WordPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        words.push_back({match.captured(), match.capturedStart(), match.capturedEnd()});
    }
    return words;
}

// The phrase of count words from first, when only spaces lie between them.
QString PhraseAt(const QString &text, const QList<Word> &words, qsizetype first, qsizetype count)
{
    if (first + count > words.size())
        return {};
    QStringList parts{words[first].text};
    for (qsizetype i = first + 1; i < first + count; ++i) {
        if (!text.mid(words[i - 1].end, words[i].start - words[i - 1].end).trimmed().isEmpty())
            return {};
        parts.push_back(words[i].text);
    }
    return parts.join(u' ');
}

QString WordByWord(Lookups &lookups, const QString &text, const QList<Word> &words)
{
    QString rendered = QStringLiteral("Traduction mot à mot (dictionnaire) : ");
    qsizetype copied = 0;
    for (qsizetype i = 0; i < words.size();) {
        rendered += text.mid(copied, words[i].start - copied);
        // A set phrase ("guten Morgen") before its words.
        qsizetype taken = 1;
        QStringList found;
        for (qsizetype count = kLongestPhrase; count > 1 && found.isEmpty(); --count) {
            const QString phrase = PhraseAt(text, words, i, count);
            if (!phrase.isEmpty()) {
                found = lookups.translations(phrase, 1);
                taken = found.isEmpty() ? 1 : count;
            }
        }
        if (found.isEmpty())
            found = lookups.translations(words[i].text, 1);
        rendered += found.isEmpty() ? words[i].text : found.first();
        copied = words[i + taken - 1].end;
        i += taken;
    }
    rendered += text.mid(copied);
    rendered = rendered.simplified();
    if (lookups.exhausted())
        rendered += QStringLiteral(" (texte long : la suite est laissée telle quelle)");
    return rendered;
}

}  // namespace

QString DictionaryAnswer(Dictionary &dictionary, const QString &sourceCode, const QString &text)
{
    const QList<Word> words = WordsOf(text);
    if (words.isEmpty())
        return text.trimmed();
    Lookups lookups(dictionary, sourceCode);
    if (words.size() > kShortestInput)
        return WordByWord(lookups, text, words);
    QStringList plain;
    for (const Word &word : words)
        plain.push_back(word.text);
    const QStringList phrase = lookups.translations(plain.join(u' '), kPhraseTranslations);
    if (!phrase.isEmpty())
        return phrase.join(QStringLiteral(", "));
    QStringList perWord;
    for (const QString &word : plain) {
        const QStringList found = lookups.translations(word, kWordTranslations);
        perWord.push_back(word + QStringLiteral(" : ") +
                          (found.isEmpty() ? QStringLiteral("absent du dictionnaire")
                                           : found.join(QStringLiteral(", "))));
    }
    return perWord.join(QStringLiteral(" ; "));
}

}  // namespace verz
