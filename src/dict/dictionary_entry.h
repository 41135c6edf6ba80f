#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace verz {

// One dictionary entry as the look-up uses it. The free dictionaries come
// in two layouts: a first line "headword /ipa/ <pos>", then either numbered
// senses "1. bon, bonne" each followed by a gloss in the source language, or
// one sense line followed by indented examples, synonyms and notes.
struct DictionarySense {
    QStringList translations;     // tags and remarks taken off: "maison", "Haus"
    bool markedRegister = false;  // slang, colloquial, dated, figurative…
};

struct DictionaryEntry {
    QString headword;  // as the entry writes it: "Wetter", "guten Morgen"
    // Senses marked for a specialist field ("[min.]") are left out.
    QList<DictionarySense> senses;
    int examples = 0;  // quoted example sentences, where the layout has them
};

DictionaryEntry ParseDictionaryEntry(const QString &text);

}  // namespace verz
