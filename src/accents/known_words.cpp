#include "accents/known_words.h"

#include <QFile>

#include <hunspell.hxx>

namespace verz {

std::unique_ptr<HunspellWords> HunspellWords::Open(const QString &affPath, const QString &dicPath)
{
    if (!QFile::exists(affPath) || !QFile::exists(dicPath))
        return nullptr;
    auto speller = std::make_unique<Hunspell>(QFile::encodeName(affPath).constData(),
                                              QFile::encodeName(dicPath).constData());
    // Every dictionary used here declares UTF-8; another would need recoding.
    if (speller->get_dict_encoding() != "UTF-8")
        return nullptr;
    return std::unique_ptr<HunspellWords>(new HunspellWords(std::move(speller)));
}

HunspellWords::HunspellWords(std::unique_ptr<Hunspell> speller) : speller_(std::move(speller)) {}

HunspellWords::~HunspellWords() = default;

bool HunspellWords::knows(const QString &word) const
{
    return speller_->spell(word.toStdString());
}

}  // namespace verz
