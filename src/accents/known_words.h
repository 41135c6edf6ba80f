#pragma once

#include <QString>

#include <memory>

class Hunspell;

namespace verz {

// Whether a word form is a word of the language, inflections included.
class KnownWords {
public:
    virtual ~KnownWords() = default;
    virtual bool knows(const QString &word) const = 0;
};

// Debian's hunspell dictionaries: the .dic lists stems only, so the affix
// rules of the .aff are needed to know "était" or "arrivés"; libhunspell
// applies them.
class HunspellWords : public KnownWords {
public:
    // nullptr when the dictionary files are missing.
    static std::unique_ptr<HunspellWords> Open(const QString &affPath, const QString &dicPath);
    ~HunspellWords() override;
    bool knows(const QString &word) const override;

private:
    explicit HunspellWords(std::unique_ptr<Hunspell> speller);
    std::unique_ptr<Hunspell> speller_;
};

}  // namespace verz
