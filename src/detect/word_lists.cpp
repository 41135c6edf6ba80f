#include "detect/word_lists.h"

#include <QFile>

#include <hunspell.hxx>

namespace verz {

namespace {

// Debian's file names for the six, in the order of DetectedLanguageCodes().
constexpr std::array<const char *, kDetectedLanguageCount> kDictionaries{"fr",    "en_US", "de_DE",
                                                                         "es_ES", "pt_PT", "it_IT"};

// Hunspell reads a word much longer than any real one for nothing.
constexpr qsizetype kLongestWord = 40;

}  // namespace

WordLists::WordLists(const QString &folder)
{
    for (int at = 0; at < kDetectedLanguageCount; ++at) {
        const QString base = folder + u'/' + QLatin1String(kDictionaries[at]);
        const QString aff = base + QStringLiteral(".aff");
        const QString dic = base + QStringLiteral(".dic");
        if (!QFile::exists(aff) || !QFile::exists(dic))
            continue;
        auto speller = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                  QFile::encodeName(dic).constData());
        // Every Debian list of the six declares UTF-8; another would need recoding.
        if (speller->get_dict_encoding() == "UTF-8")
            spellers_[at] = std::move(speller);
    }
}

WordLists::~WordLists() = default;

std::array<double, kDetectedLanguageCount> WordLists::knownWeights(const QStringList &words) const
{
    std::array<double, kDetectedLanguageCount> weights{};
    for (const QString &word : words) {
        if (word.size() < 2)
            continue;  // every list knows single letters: left to the function words
        const std::string bytes = word.toStdString();
        std::array<bool, kDetectedLanguageCount> knows{};
        int knowers = 0;
        for (int at = 0; at < kDetectedLanguageCount; ++at) {
            knows[at] = spellers_[at] && spellers_[at]->spell(bytes);
            knowers += knows[at];
        }
        for (int at = 0; at < kDetectedLanguageCount; ++at) {
            if (knows[at])
                weights[at] += 1.0 / knowers;
        }
    }
    return weights;
}

QStringList WordsOf(const QString &text, int atMost)
{
    QStringList words;
    QString word;
    const auto flush = [&] {
        if (!word.isEmpty() && word.size() <= kLongestWord)
            words.append(word);
        word.clear();
    };
    for (const QChar c : text) {
        if (words.size() >= atMost)
            break;
        if (c.isLetter())
            word.append(c);
        else
            flush();
    }
    if (words.size() < atMost)
        flush();
    return words;
}

}  // namespace verz
