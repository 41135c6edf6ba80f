#include "accents/accent_restorer.h"

#include "accents/accent_rules.h"

#include <QDir>

#include <algorithm>
#include <tuple>

namespace verz {

namespace {

// The accented letters each language may have lost on a plain letter, most
// likely first: the window's twelve folds, and the language's other accents
// for text typed without any.
QString AlternativesFor(const QString &language, QChar plain)
{
    struct Alternatives {
        const char *language;
        char16_t plain;
        const char16_t *accented;
    };
    static const Alternatives table[] = {
        {"fr", u'e', u"éèêë"}, {"fr", u'a', u"àâä"}, {"fr", u'i', u"îï"}, {"fr", u'o', u"ô"},
        {"fr", u'u', u"ùûü"},  {"fr", u'c', u"ç"},   {"es", u'a', u"á"},  {"es", u'e', u"é"},
        {"es", u'i', u"í"},    {"es", u'o', u"ó"},   {"es", u'u', u"úü"}, {"es", u'n', u"ñ"},
        {"pt", u'a', u"áàâã"}, {"pt", u'e', u"éê"},  {"pt", u'i', u"í"},  {"pt", u'o', u"óôõ"},
        {"pt", u'u', u"ú"},    {"pt", u'c', u"ç"},   {"it", u'a', u"à"},  {"it", u'e', u"èé"},
        {"it", u'i', u"ì"},    {"it", u'o', u"ò"},   {"it", u'u', u"ù"},
    };
    const QChar lower = plain.toLower();
    for (const Alternatives &entry : table) {
        if (lower == QChar(entry.plain) && language == QLatin1String(entry.language))
            return QString::fromUtf16(entry.accented);
    }
    return {};
}

constexpr int kMostChanges = 3;
constexpr int kMostTries = 4096;

}  // namespace

QList<TextPiece> SplitWords(const QString &text)
{
    QList<TextPiece> pieces;
    for (const QChar c : text) {
        const bool letter = c.isLetter() || c.isMark();
        if (pieces.isEmpty() || pieces.last().word != letter)
            pieces.append({QString(), letter});
        pieces.last().text.append(c);
    }
    return pieces;
}

bool HasFoldedLetters(const QString &text)
{
    static const QString folded = QStringLiteral("éèêëàôçùîïâä");
    return std::any_of(text.begin(), text.end(), [](QChar c) { return folded.contains(c); });
}

AccentRestorer::AccentRestorer(QString language, std::unique_ptr<KnownWords> words)
    : language_(std::move(language)), words_(std::move(words))
{
}

std::unique_ptr<AccentRestorer> AccentRestorer::ForLanguage(const QString &language,
                                                            const QString &hunspellDir)
{
    static const struct {
        const char *language;
        const char *dictionary;
    } dictionaries[] = {{"fr", "fr_FR"}, {"es", "es_ES"}, {"pt", "pt_PT"}, {"it", "it_IT"}};
    for (const auto &entry : dictionaries) {
        if (language != QLatin1String(entry.language))
            continue;
        const QDir dir(hunspellDir);
        const QString name = QString::fromLatin1(entry.dictionary);
        auto words = HunspellWords::Open(dir.filePath(name + QStringLiteral(".aff")),
                                         dir.filePath(name + QStringLiteral(".dic")));
        if (!words)
            return nullptr;
        return std::make_unique<AccentRestorer>(language, std::move(words));
    }
    return nullptr;
}

// Every form with up to three plain letters accented, tried against the
// dictionary; of the known ones, a frequent word, then the fewest changes,
// then the likelier accents. Empty when none is known.
QString AccentRestorer::reaccented(const QString &word) const
{
    QList<qsizetype> positions;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (!AlternativesFor(language_, word[i]).isEmpty())
            positions.append(i);
    }
    QString best;
    int bestRank = 0;
    int bestPenalty = 0;
    int bestChanges = kMostChanges + 1;
    int tries = 0;
    QString form = word;
    // Depth-first over the positions, each left plain or given one accent.
    auto visit = [&](auto &&self, qsizetype from, int changes) -> void {
        if (tries >= kMostTries)
            return;
        if (changes > 0) {
            ++tries;
            if (words_->knows(form)) {
                const QString lower = form.toLower();
                const int rank = FrequentWordRank(language_, lower);
                const int penalty = SpellingPenalty(language_, lower);
                if (best.isEmpty() || std::tie(rank, penalty, changes) <
                                          std::tie(bestRank, bestPenalty, bestChanges)) {
                    best = form;
                    bestRank = rank;
                    bestPenalty = penalty;
                    bestChanges = changes;
                }
            }
        }
        if (changes == kMostChanges)
            return;
        for (qsizetype p = from; p < positions.size(); ++p) {
            const qsizetype at = positions[p];
            const QChar plain = word[at];
            for (const QChar accented : AlternativesFor(language_, plain)) {
                form[at] = plain.isUpper() ? accented.toUpper() : accented;
                self(self, p + 1, changes + 1);
            }
            form[at] = plain;
        }
    };
    visit(visit, 0, 0);
    return best;
}

QString AccentRestorer::restore(const QString &text) const
{
    QList<TextPiece> pieces = SplitWords(text);
    for (TextPiece &piece : pieces) {
        if (!piece.word || words_->knows(piece.text))
            continue;
        if (const QString form = reaccented(piece.text); !form.isEmpty())
            piece.text = form;
    }
    // A writer who typed one of the letters the window folds typed the
    // plain "a" or "e" on purpose.
    if (!HasFoldedLetters(text))
        ApplyContextRules(language_, pieces, *words_);
    QString result;
    result.reserve(text.size() + 8);
    for (const TextPiece &piece : pieces)
        result += piece.text;
    return result;
}

AccentRestorers::AccentRestorers(QString hunspellDir) : hunspellDir_(std::move(hunspellDir)) {}

QString AccentRestorers::restore(const QString &language, const QString &text)
{
    auto found = loaded_.find(language);
    if (found == loaded_.end())
        found = loaded_.insert(language, AccentRestorer::ForLanguage(language, hunspellDir_));
    return *found ? (*found)->restore(text) : text;
}

}  // namespace verz
