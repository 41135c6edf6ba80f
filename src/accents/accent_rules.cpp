#include "accents/accent_rules.h"

#include <QSet>

namespace verz {

namespace {

using Words = QSet<QString>;

Words WordSet(std::initializer_list<const char16_t *> words)
{
    Words set;
    for (const char16_t *word : words)
        set.insert(QString::fromUtf16(word));
    return set;
}

// A view of the word pieces with their neighbours, in lower case.
class Sentence {
public:
    explicit Sentence(QList<TextPiece> &pieces) : pieces_(pieces)
    {
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (pieces[i].word)
                words_.append(i);
        }
    }
    qsizetype size() const { return words_.size(); }
    QString word(qsizetype n) const
    {
        return n >= 0 && n < words_.size() ? pieces_[words_[n]].text.toLower() : QString();
    }
    // What lies between word n-1 and word n (the text's start for n = 0).
    QString gapBefore(qsizetype n) const
    {
        if (n < 0 || n >= words_.size())
            return {};
        const qsizetype at = words_[n];
        return at > 0 && !pieces_[at - 1].word ? pieces_[at - 1].text : QString();
    }
    bool startsSentence(qsizetype n) const
    {
        if (n == 0)
            return true;
        const QString gap = gapBefore(n);
        return gap.contains(u'.') || gap.contains(u'!') || gap.contains(u'?') ||
               gap.contains(u'¿') || gap.contains(u'¡') || gap.contains(u'\n');
    }
    // Replaces word n by the lower-case form, keeping a capital first letter.
    void set(qsizetype n, const QString &lower)
    {
        QString &text = pieces_[words_[n]].text;
        const bool capital = !text.isEmpty() && text[0].isUpper();
        text = lower;
        if (capital)
            text[0] = text[0].toUpper();
    }

private:
    QList<TextPiece> &pieces_;
    QList<qsizetype> words_;
};

// "arrive" → "arrivé", "arrivees" → "arrivées": the last e of a participle
// ending, or empty when the word has none.
QString ParticipleFormOf(const QString &word)
{
    for (const char16_t *ending : {u"ees", u"ee", u"es", u"e"}) {
        const QString plain = QString::fromUtf16(ending);
        if (word.endsWith(plain) && word.size() > plain.size() + 1)
            return word.left(word.size() - plain.size()) + u'é' + plain.mid(1);
    }
    return {};
}

QString Folded(QString word)
{
    static const QString accented = QStringLiteral("éèêëàôçùîïâä");
    static const QString plain = QStringLiteral("eeeeaocuiiaa");
    for (QChar &c : word) {
        if (const qsizetype at = accented.indexOf(c); at >= 0)
            c = plain[at];
    }
    return word;
}

// The participle of a word as it stands ("arrête" → "arrêté") or as folded
// ("achète" → "acheté"), when the dictionary knows it; else empty.
QString ParticipleForm(const QString &word, const KnownWords &words)
{
    for (const QString &form : {ParticipleFormOf(word), ParticipleFormOf(Folded(word))}) {
        if (!form.isEmpty() && words.knows(form))
            return form;
    }
    return {};
}

void FrenchRules(Sentence &s, const KnownWords &words)
{
    static const Words subjects = WordSet({u"il", u"elle", u"on", u"qui", u"y", u"n", u"ça",
                                           u"cela", u"ce", u"tout", u"qu", u"personne"});
    static const Words verbNext = WordSet(
        {u"été",      u"eu",      u"pas",       u"plus",     u"un",     u"une",     u"des",
         u"beaucoup", u"besoin",  u"faim",      u"soif",     u"mal",    u"peur",    u"raison",
         u"tort",     u"jamais",  u"déjà",      u"toujours", u"encore", u"fait",    u"dit",
         u"mis",      u"pris",    u"reçu",      u"vu",       u"pu",     u"su",      u"lu",
         u"dû",       u"ouvert",  u"découvert", u"détruit",  u"offert", u"écrit",   u"perdu",
         u"vendu",    u"attendu", u"répondu",   u"choisi",   u"fini",   u"compris", u"appris",
         u"promu",    u"t",       u"bien",      u"de",       u"d"});
    static const Words notParticiple = WordSet({u"cause", u"côte", u"la", u"le", u"les"});
    static const Words auxiliaries = WordSet(
        {u"ai",    u"as",      u"a",    u"avons", u"avez",  u"ont",    u"avait",  u"avaient",
         u"aura",  u"eu",      u"suis", u"es",    u"est",   u"sommes", u"êtes",   u"sont",
         u"était", u"étaient", u"été",  u"être",  u"avoir", u"sera",   u"seront", u"fut"});
    static const Words adverbs =
        WordSet({u"pas", u"plus", u"déjà", u"jamais", u"beaucoup", u"bien", u"très", u"trop",
                 u"encore", u"toujours", u"souvent", u"tous", u"tout", u"bientôt"});
    static const Words whereNext =
        WordSet({u"est",    u"sont",   u"es",     u"as",      u"avez",    u"ai",       u"allez",
                 u"vas",    u"va",     u"vont",   u"puis",    u"peux",    u"peut",     u"pouvons",
                 u"pouvez", u"se",     u"habite", u"habites", u"habitez", u"habitent", u"vit",
                 u"vivez",  u"sommes", u"êtes",   u"trouve",  u"trouvent"});
    static const Words wherePrevious =
        WordSet({u"d", u"là", u"pas", u"sais", u"sait", u"savez", u"savoir", u"dire"});
    for (qsizetype n = 0; n < s.size(); ++n) {
        const QString word = s.word(n);
        if (word == u"a") {
            const QString next = s.word(n + 1);
            const bool verb =
                subjects.contains(s.word(n - 1)) || verbNext.contains(next) ||
                (!notParticiple.contains(next) && !ParticipleForm(next, words).isEmpty());
            if (!verb)
                s.set(n, QStringLiteral("à"));
        } else if (word == u"ou") {
            if ((s.startsSentence(n) && n + 1 < s.size()) ||
                wherePrevious.contains(s.word(n - 1)) || whereNext.contains(s.word(n + 1)))
                s.set(n, QStringLiteral("où"));
        }
    }
    // After an auxiliary (an adverb may come between), "e" endings that make
    // a participle are one.
    for (qsizetype n = 1; n < s.size(); ++n) {
        qsizetype auxiliary = n - 1;
        if (adverbs.contains(s.word(auxiliary)) && auxiliary > 0)
            --auxiliary;
        if (!auxiliaries.contains(s.word(auxiliary)))
            continue;
        const QString participle = ParticipleForm(s.word(n), words);
        if (!participle.isEmpty() && !notParticiple.contains(s.word(n)))
            s.set(n, participle);
    }
}

void CommonerForms(const QString &language, Sentence &s)
{
    // Known words whose accented twin is by far the commoner word in
    // everyday text ("foret" is a drill, "forêt" a forest).
    static const struct {
        const char *language;
        const char16_t *plain;
        const char16_t *accented;
    } twins[] = {
        {"fr", u"foret", u"forêt"},   {"fr", u"age", u"âge"},       {"fr", u"cote", u"côté"},
        {"fr", u"pres", u"près"},     {"fr", u"peche", u"pêche"},   {"es", u"medico", u"médico"},
        {"es", u"ingles", u"inglés"}, {"es", u"anden", u"andén"},   {"es", u"frances", u"francés"},
        {"pt", u"ate", u"até"},       {"pt", u"amanha", u"amanhã"}, {"pt", u"medico", u"médico"},
        {"pt", u"ferias", u"férias"}, {"pt", u"pe", u"pé"},         {"it", u"cioe", u"cioè"},
    };
    for (qsizetype n = 0; n < s.size(); ++n) {
        const QString word = s.word(n);
        for (const auto &twin : twins) {
            if (language == QLatin1String(twin.language) && word == QString::fromUtf16(twin.plain))
                s.set(n, QString::fromUtf16(twin.accented));
        }
    }
}

void ItalianRules(Sentence &s)
{
    static const Words previous =
        WordSet({u"c",      u"dov",    u"com",    u"cos",    u"quest",  u"quell",  u"chi",
                 u"che",    u"non",    u"ci",     u"lui",    u"lei",    u"esso",   u"essa",
                 u"questo", u"questa", u"quello", u"quella", u"tutto",  u"ciò",    u"dove",
                 u"come",   u"cosa",   u"quale",  u"qual",   u"quando", u"perché", u"ne"});
    static const Words next =
        WordSet({u"stato",     u"stata",   u"stati",     u"state",      u"molto",    u"troppo",
                 u"più",       u"già",     u"ancora",    u"sempre",     u"lontano",  u"lontana",
                 u"vicino",    u"vicina",  u"aperto",    u"aperta",     u"chiuso",   u"chiusa",
                 u"vero",      u"vera",    u"possibile", u"meglio",     u"bello",    u"bella",
                 u"buono",     u"buona",   u"caro",      u"cara",       u"libero",   u"libera",
                 u"grande",    u"piccolo", u"piccola",   u"lungo",      u"lunga",    u"facile",
                 u"difficile", u"pronto",  u"pronta",    u"ottimo",     u"ottima",   u"nuovo",
                 u"nuova",     u"vecchio", u"vecchia",   u"freddo",     u"fredda",   u"caldo",
                 u"calda",     u"pieno",   u"piena",     u"importante", u"contento", u"contenta",
                 u"stanco",    u"stanca",  u"malato",    u"malata",     u"triste",   u"compreso",
                 u"compresa",  u"tardi",   u"presto",    u"qui",        u"lì",       u"là",
                 u"nato",      u"nata",    u"morto",     u"morta",      u"arrivato", u"arrivata",
                 u"partito",   u"partita", u"tornato",   u"tornata",    u"andato",   u"andata",
                 u"venuto",    u"venuta",  u"troppa",    u"la",         u"il",       u"lo",
                 u"l"});
    static const Words articles = WordSet({u"il", u"un", u"del", u"al", u"dal", u"nel", u"col"});
    for (qsizetype n = 0; n < s.size(); ++n) {
        const QString word = s.word(n);
        const QString after = s.word(n + 1);
        if (word == u"e") {
            // "il castello e la cattedrale": an article after "e" means "is"
            // only when "e" opens the clause.
            const bool article =
                after == u"la" || after == u"il" || after == u"lo" || after == u"l";
            const bool verb = previous.contains(s.word(n - 1)) ||
                              (next.contains(after) && (!article || s.startsSentence(n))) ||
                              after.endsWith(u"issimo") || after.endsWith(u"issima");
            if (verb)
                s.set(n, QStringLiteral("è"));
        } else if (word == u"te" && articles.contains(s.word(n - 1))) {
            s.set(n, QStringLiteral("tè"));
        }
    }
}

void PortugueseRules(Sentence &s, const KnownWords &words)
{
    static const Words previous =
        WordSet({u"que",  u"isto", u"isso", u"aquilo", u"onde", u"quem",   u"como",
                 u"qual", u"ele",  u"ela",  u"não",    u"você", u"tudo",   u"este",
                 u"esta", u"esse", u"essa", u"aqui",   u"lá",   u"quanto", u"porque"});
    static const Words next =
        WordSet({u"muito",     u"demasiado", u"tão",        u"longe",   u"perto", u"melhor",
                 u"pior",      u"possível",  u"verdade",    u"caro",    u"cara",  u"mais",
                 u"pequena",   u"pequeno",   u"grande",     u"longa",   u"longo", u"bonito",
                 u"bonita",    u"excelente", u"importante", u"difícil", u"fácil", u"tarde",
                 u"cedo",      u"preciso",   u"claro",      u"pago",    u"paga",  u"proibido",
                 u"necessário"});
    static const Words hours = WordSet(
        {u"uma", u"duas", u"três", u"quatro", u"cinco", u"seis", u"sete", u"oito", u"nove", u"dez",
         u"onze", u"doze", u"vezes", u"segundas", u"terças", u"quartas", u"quintas", u"sextas"});
    static const Words feminineAfterTo =
        WordSet({u"esquerda", u"direita", u"espera", u"beira", u"procura", u"vontade", u"pressa"});
    for (qsizetype n = 0; n < s.size(); ++n) {
        const QString word = s.word(n);
        const QString after = s.word(n + 1);
        if (word == u"e") {
            if (previous.contains(s.word(n - 1)) || next.contains(after) ||
                (s.startsSentence(n) && (after == u"a" || after == u"o")))
                s.set(n, QStringLiteral("é"));
        } else if (s.gapBefore(n + 1) == u"-" &&
                   (after == u"lo" || after == u"la" || after == u"los" || after == u"las")) {
            // "conhece-lo" → "conhecê-lo", "compra-la" → "comprá-la"
            QString infinitive = word;
            if (word.endsWith(u'e'))
                infinitive.back() = u'ê';
            else if (word.endsWith(u'a'))
                infinitive.back() = u'á';
            if (infinitive != word &&
                (words.knows(infinitive + u'-' + after) || words.knows(infinitive)))
                s.set(n, infinitive);
        } else if (word == u"as" && hours.contains(after)) {
            s.set(n, QStringLiteral("às"));
        } else if (word == u"a" && (feminineAfterTo.contains(after) ||
                                    ((s.word(n - 1) == u"ontem" || s.word(n - 1) == u"tarde") &&
                                     (after == u"noite" || after == u"tarde")))) {
            s.set(n, QStringLiteral("à"));
        }
    }
}

void SpanishRules(Sentence &s, const KnownWords &words)
{
    static const Words prepositions =
        WordSet({u"a", u"de", u"en", u"con", u"para", u"por", u"desde", u"hasta"});
    static const Words articles = WordSet({u"el", u"un", u"del", u"al"});
    static const Words questionWords =
        WordSet({u"dónde", u"donde", u"qué", u"que", u"cómo", u"como", u"cuándo", u"si", u"nada",
                 u"quién", u"cuánto"});
    for (qsizetype n = 0; n < s.size(); ++n) {
        const QString word = s.word(n);
        const QString before = s.word(n - 1);
        if (word == u"que") {
            const bool opens = s.gapBefore(n).contains(u'¿') || s.gapBefore(n).contains(u'¡');
            const bool afterPreposition =
                n > 0 && prepositions.contains(before) && s.gapBefore(n - 1).contains(u'¿');
            if (opens || afterPreposition)
                s.set(n, QStringLiteral("qué"));
        } else if (word == u"se" && before == u"no" && questionWords.contains(s.word(n + 1))) {
            s.set(n, QStringLiteral("sé"));
        } else if (word == u"te" && articles.contains(before)) {
            s.set(n, QStringLiteral("té"));
        } else if (word.size() > 4 &&
                   (word.endsWith(u"are") || word.endsWith(u"ere") || word.endsWith(u"ire"))) {
            // "llamare" is the archaic future subjunctive; "llamaré" the future.
            const QString future = word.left(word.size() - 1) + u'é';
            if (words.knows(future))
                s.set(n, future);
        }
    }
}

}  // namespace

void ApplyContextRules(const QString &language, QList<TextPiece> &pieces, const KnownWords &words)
{
    Sentence sentence(pieces);
    CommonerForms(language, sentence);
    if (language == u"fr")
        FrenchRules(sentence, words);
    else if (language == u"it")
        ItalianRules(sentence);
    else if (language == u"pt")
        PortugueseRules(sentence, words);
    else if (language == u"es")
        SpanishRules(sentence, words);
}

int FrequentWordRank(const QString &language, const QString &lowerWord)
{
    static const struct {
        const char *language;
        Words words;
    } frequent[] = {
        {"fr",
         WordSet({u"très",   u"près",     u"après",  u"été",     u"était",   u"à",     u"où",
                  u"déjà",   u"même",     u"après",  u"être",    u"fenêtre", u"hôtel", u"château",
                  u"café",   u"élève",    u"père",   u"mère",    u"frère",   u"là",    u"voilà",
                  u"ça",     u"français", u"garçon", u"leçon",   u"reçu",    u"forêt", u"tôt",
                  u"côté",   u"âge",      u"gâteau", u"théâtre", u"coût",    u"goût",  u"août",
                  u"sûr",    u"île",      u"plaît",  u"fête",    u"tête",    u"pêche", u"problème",
                  u"thé",    u"télé",     u"école",  u"été",     u"étaient", u"êtes",  u"préférez",
                  u"église", u"médecin"})},
        {"it", WordSet({u"città", u"più", u"perché", u"già", u"caffè", u"così", u"può", u"però",
                        u"lunedì", u"martedì", u"mercoledì", u"giovedì", u"venerdì", u"tè", u"giù",
                        u"età", u"novità", u"università", u"qualità"})},
        {"pt",
         WordSet({u"é",    u"já",   u"não",  u"também",    u"você", u"avó",    u"está",    u"até",
                  u"café", u"pé",   u"três", u"português", u"mês",  u"inglês", u"francês", u"bebé",
                  u"país", u"após", u"só",   u"nós",       u"lá",   u"está",   u"estão",   u"é"})},
        {"es", WordSet({u"qué", u"está", u"también", u"café", u"después", u"inglés", u"francés",
                        u"mamá", u"papá", u"más", u"bebé", u"té", u"sé", u"sí", u"aquí", u"allí",
                        u"días", u"adiós"})},
    };
    for (const auto &entry : frequent) {
        if (language == QLatin1String(entry.language))
            return entry.words.contains(lowerWord) ? 0 : 1;
    }
    return 1;
}

}  // namespace verz

namespace verz {

int SpellingPenalty(const QString &language, const QString &lowerForm)
{
    if (language != u"fr")
        return 0;
    // French writes è before a consonant and a mute final e ("grève",
    // "élève") or a final consonant ("très"), and é elsewhere.
    static const QString consonants = QStringLiteral("bcdfghjklmnpqrstvwxzç");
    int penalty = 0;
    for (qsizetype i = 0; i < lowerForm.size(); ++i) {
        const QChar c = lowerForm[i];
        if (c != u'é' && c != u'è')
            continue;
        qsizetype j = i + 1;
        while (j < lowerForm.size() && consonants.contains(lowerForm[j]))
            ++j;
        const QStringView rest = QStringView(lowerForm).mid(j);
        const bool consonantsFirst = j > i + 1;
        const bool muteEnd = rest == u"e" || rest == u"es" || rest == u"ent";
        const bool grave = consonantsFirst && (rest.isEmpty() || muteEnd);
        if (c == u'è' ? !grave : (consonantsFirst && muteEnd))
            ++penalty;
    }
    return penalty;
}

}  // namespace verz
