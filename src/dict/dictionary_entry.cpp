#include "dict/dictionary_entry.h"

#include <QRegularExpression>
#include <QSet>

namespace verz {

namespace {

// The labels of the free dictionaries that name a specialist field: a sense
// marked with one is a trade's word ("Wetter [min.]", the air in a mine).
// Everyday domains stay ("Wetter [meteo.]", "Garten [agr.]", "Spiel [sport]"):
// the dictionaries put those labels on the plain words too.
const QSet<QString> &SpecialFieldLabels()
{
    static const QSet<QString> labels{
        QStringLiteral("min."),    QStringLiteral("techn."),  QStringLiteral("med."),
        QStringLiteral("chem."),   QStringLiteral("bot."),    QStringLiteral("zool."),
        QStringLiteral("ornith."), QStringLiteral("jur."),    QStringLiteral("mil."),
        QStringLiteral("electr."), QStringLiteral("constr."), QStringLiteral("anat."),
        QStringLiteral("textil."), QStringLiteral("phys."),   QStringLiteral("geol."),
        QStringLiteral("math."),   QStringLiteral("biol."),   QStringLiteral("biochem."),
        QStringLiteral("pharm."),  QStringLiteral("mach."),   QStringLiteral("naut."),
        QStringLiteral("ling."),   QStringLiteral("aviat."),  QStringLiteral("telco."),
        QStringLiteral("psych."),  QStringLiteral("phil."),   QStringLiteral("print"),
        QStringLiteral("arch."),   QStringLiteral("astron."), QStringLiteral("statist."),
        QStringLiteral("econ."),   QStringLiteral("fin."),    QStringLiteral("comp."),
        QStringLiteral("hist."),   QStringLiteral("photo."),  QStringLiteral("mineral."),
    };
    return labels;
}

// Labels of register and era: the sense is real but not the plain word
// ("sehr" is "very" before it is "damned [slang]").
const QSet<QString> &MarkedRegisterLabels()
{
    static const QSet<QString> labels{
        QStringLiteral("slang"),    QStringLiteral("coll."),   QStringLiteral("ugs."),
        QStringLiteral("pej."),     QStringLiteral("vulg."),   QStringLiteral("dated"),
        QStringLiteral("veraltet"), QStringLiteral("archaic"), QStringLiteral("obs."),
        QStringLiteral("rare"),     QStringLiteral("selten"),  QStringLiteral("humor."),
        QStringLiteral("poet."),    QStringLiteral("übtr."),   QStringLiteral("fig."),
    };
    return labels;
}

const QRegularExpression &NumberedSense()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d+)\\.\\s+(.*)$"));
    return pattern;
}

const QRegularExpression &BracketLabel()
{
    static const QRegularExpression pattern(QStringLiteral("\\[([^\\]]*)\\]"));
    return pattern;
}

bool HasLabelIn(const QString &text, const QSet<QString> &labels)
{
    QRegularExpressionMatchIterator found = BracketLabel().globalMatch(text);
    while (found.hasNext()) {
        if (labels.contains(found.next().captured(1)))
            return true;
    }
    return false;
}

// Splits at commas and semicolons outside parentheses: "(allein) im Haus,
// Haus" is two translations, "Haus (mit Garten, groß)" one.
QStringList SplitTranslations(const QString &line)
{
    QStringList parts;
    QString current;
    int depth = 0;
    for (const QChar c : line) {
        if (c == u'(' || c == u'[' || c == u'<')
            ++depth;
        else if ((c == u')' || c == u']' || c == u'>') && depth > 0)
            --depth;
        if ((c == u',' || c == u';') && depth == 0) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

// "Haus <neut>", "commodity <n> [fig.]" → the words alone.
QString CleanTranslation(QString term)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>|\\[[^\\]]*\\]|\\{[^}]*\\}"));
    static const QRegularExpression emptied(QStringLiteral("\\(\\s*\\)"));
    term.remove(tags).remove(emptied);
    return term.simplified();
}

DictionarySense SenseOf(QString line)
{
    // A field label, before the translations or after the last, marks the
    // whole sense: "Lagerspiel, Spiel [techn.]".
    DictionarySense sense;
    if (HasLabelIn(line, SpecialFieldLabels()))
        return sense;
    sense.markedRegister = HasLabelIn(line, MarkedRegisterLabels());
    // "maison 2." ends with the number of the gloss that follows.
    static const QRegularExpression glossNumber(QStringLiteral("\\s+\\d+\\.$"));
    line.remove(glossNumber);
    QStringList &translations = sense.translations;
    for (const QString &part : SplitTranslations(line.trimmed())) {
        const QString clean = CleanTranslation(part);
        if (!clean.isEmpty() && !translations.contains(clean))
            translations.push_back(clean);
    }
    return sense;
}

QString HeadwordOf(const QString &firstLine)
{
    qsizetype end = firstLine.size();
    for (const QString &mark : {QStringLiteral(" /"), QStringLiteral(" <")}) {
        const qsizetype at = firstLine.indexOf(mark);
        if (at >= 0 && at < end)
            end = at;
    }
    return firstLine.left(end).trimmed();
}

}  // namespace

DictionaryEntry ParseDictionaryEntry(const QString &text)
{
    DictionaryEntry entry;
    const QStringList lines = text.split(u'\n');
    if (lines.isEmpty())
        return entry;
    entry.headword = HeadwordOf(lines.first());
    // "ist <suffix>" → "iste": a piece of words, never the word typed.
    static const QRegularExpression affix(QStringLiteral("<[^>]*(suffix|prefix)[^>]*>"));
    if (affix.match(lines.first()).hasMatch())
        return entry;
    // Each example is a use someone found worth writing down: the count
    // stands in for the frequency the dictionaries do not give.
    static const QRegularExpression example(QStringLiteral("^\\s+\"[^\n]*\"\\s+-"));
    for (const QString &line : lines) {
        if (example.match(line).hasMatch())
            ++entry.examples;
    }
    // Numbered senses: the number starts the line.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QRegularExpressionMatch numbered = NumberedSense().match(lines[i]);
        if (numbered.hasMatch())
            entry.senses.push_back(SenseOf(numbered.captured(2)));
    }
    if (entry.senses.isEmpty()) {
        // One sense: the first line after the headword's.
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (!lines[i].trimmed().isEmpty()) {
                entry.senses.push_back(SenseOf(lines[i]));
                break;
            }
        }
    }
    entry.senses.removeIf(
        [](const DictionarySense &sense) { return sense.translations.isEmpty(); });
    return entry;
}

}  // namespace verz
