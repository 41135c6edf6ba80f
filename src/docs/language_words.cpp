#include "docs/language_words.h"

#include "docs/zip_rewrite.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace verz {

namespace {

constexpr qsizetype kSample = 64 * 1024;

struct WordList {
    const char *language;
    const char *words;
};

// Words that are frequent in one language and rare as words in the others.
const WordList kLists[] = {
    {"en", "the and of to is are was were with this that for you have not be from which will "
           "would they their by or on at we our has been"},
    {"fr", "le les et est des une du dans pour pas qui sur avec sont nous vous cette au aux mais "
           "ou été être il elle je très"},
    {"es", "el los las y es del una por con para su sus como más pero está son lo al muy ya "
           "también hay este esta fue ser"},
    {"pt", "o os as e é do da dos das um uma em no na não com para por mais mas são foi está "
           "também ao pelo pela"},
    {"it", "il lo gli è del della dei delle di un una con per che non sono ma anche più nel "
           "nella alla questo questa essere stato ha"},
    {"de", "der die das und ist nicht mit von zu den dem ein eine einen auf für sich auch es ich "
           "sie wir sind war werden wird bei nach aus oder"},
};

QString Between(QByteArrayView bytes, char open, char close)
{
    QString text;
    bool inside = false;
    const QString all = QString::fromUtf8(bytes.first(qMin(bytes.size(), 4 * kSample)));
    for (const QChar c : all) {
        if (c == QLatin1Char(open))
            inside = true;
        else if (inside && c == QLatin1Char(close))
            inside = false, text += u' ';
        else if (!inside)
            text += c;
        if (text.size() >= kSample)
            break;
    }
    return text;
}

}  // namespace

QString LikelyLanguage(const QString &text)
{
    static const QHash<QString, QStringList> kWords = [] {
        QHash<QString, QStringList> words;
        for (const WordList &list : kLists)
            for (const QString &word : QString::fromUtf8(list.words).split(u' '))
                words[word].append(QString::fromLatin1(list.language));
        return words;
    }();
    static const QRegularExpression kWord(QStringLiteral("\\w+"));
    QHash<QString, int> score;
    int matched = 0;
    for (auto it = kWord.globalMatch(text.left(kSample)); it.hasNext();) {
        const auto found = kWords.constFind(it.next().captured().toLower());
        if (found == kWords.cend())
            continue;
        ++matched;
        for (const QString &language : *found)
            ++score[language];
    }
    if (matched < 12)
        return {};
    QString best;
    int bestScore = 0, second = 0;
    for (auto it = score.cbegin(); it != score.cend(); ++it) {
        if (it.value() > bestScore) {
            second = bestScore;
            bestScore = it.value();
            best = it.key();
        } else if (it.value() > second) {
            second = it.value();
        }
    }
    // A clear lead only: shared words ("de", "la", "e") make close scores mean nothing.
    return bestScore >= 2 * second ? best : QString();
}

QString SampleText(DocumentFormat format, QByteArrayView content)
{
    switch (format) {
    case DocumentFormat::Text:
        return QString::fromUtf8(content.first(qMin(content.size(), kSample)));
    case DocumentFormat::Html:
        return Between(content, '<', '>');
    case DocumentFormat::Rtf: {
        static const QRegularExpression kControl(QStringLiteral(R"(\\[a-z]+-?\d* ?|[{}])"));
        return QString::fromUtf8(content.first(qMin(content.size(), 4 * kSample)))
            .replace(kControl, QStringLiteral(" "));
    }
    default:
        break;
    }
    static const QStringList kMain = {
        QStringLiteral("content.xml"), QStringLiteral("word/document.xml"),
        QStringLiteral("ppt/slides/slide1.xml"), QStringLiteral("xl/sharedStrings.xml")};
    QByteArray main;
    RewriteZip(
        content, [](const QString &name) { return kMain.contains(name); },
        [&main](const QString &, const QByteArray &bytes) {
            if (main.isEmpty())
                main = bytes.left(4 * kSample);
            return bytes;
        });
    return Between(main, '<', '>');
}

}  // namespace verz
