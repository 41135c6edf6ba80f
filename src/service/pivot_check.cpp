#include "service/pivot_check.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace verz {

namespace {

const QRegularExpression &MarkedWord()
{
    static const QRegularExpression kMarked(QStringLiteral(R"((?<![\w*#@])[*#@](\w[\w'-]*))"));
    return kMarked;
}

QStringList Sentences(const QString &text)
{
    static const QRegularExpression kEnd(QStringLiteral(R"((?<=[.!?…])\s+|\n)"));
    return text.split(kEnd);
}

}  // namespace

bool CanMark(const QString &source)
{
    return !source.contains(u'*') && !source.contains(u'#') && !source.contains(u'@');
}

int LegMadeUnknowns(const QString &marked, const QString &source)
{
    QSet<QString> words;
    static const QRegularExpression kWord(QStringLiteral(R"(\w[\w'-]*)"));
    for (auto it = kWord.globalMatch(source); it.hasNext();)
        words.insert(it.next().captured().toLower());
    int made = 0;
    for (auto it = MarkedWord().globalMatch(marked); it.hasNext();)
        made += words.contains(it.next().captured(1).toLower()) ? 0 : 1;
    return made;
}

QString WithoutMarks(const QString &marked)
{
    QString plain = marked;
    return plain.replace(MarkedWord(), QStringLiteral("\\1"));
}

QString PreferKnown(const QString &source, const QString &first, const QString &other)
{
    const QStringList a = Sentences(first);
    const QStringList b = Sentences(other);
    if (a.size() != b.size() || a.size() == 1)
        return WithoutMarks(
            LegMadeUnknowns(other, source) < LegMadeUnknowns(first, source) ? other : first);
    // Each sentence keeps the white space that followed it in first.
    QString out;
    qsizetype at = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const bool better = LegMadeUnknowns(b.at(i), source) < LegMadeUnknowns(a.at(i), source);
        out += WithoutMarks(better ? b.at(i) : a.at(i));
        at += a.at(i).size();
        qsizetype gap = at;
        while (gap < first.size() && first.at(gap).isSpace())
            ++gap;
        out += QStringView(first).sliced(at, gap - at);
        at = gap;
    }
    return out;
}

}  // namespace verz
