#pragma once

#include "cli/line_translator.h"

#include <QString>

#include <iosfwd>
#include <map>
#include <memory>

namespace verz {

struct CommandLine;

// --pair auto: the pair for one text from its detected language, into target
// (empty: into French, French into English). row is -1 when the twelve pairs
// hold none, with the French message saying which there are.
struct DetectedChoice {
    int row = -1;
    bool sure = false;
    QString problem;
};
DetectedChoice ChooseDetectedPair(const QString &text, const QString &target);

// One translator per pair, made when a text first needs it.
class PairTranslators {
public:
    PairTranslators(ServiceAccess service, bool fold);
    LineTranslator &forRow(int row);

private:
    ServiceAccess service_;
    bool fold_;
    std::map<int, std::unique_ptr<LineTranslator>> translators_;
};

// --detect TEXT…, or standard input when there are no words (its first 64 KiB):
// "de<TAB>92.0" on out; 3 when no language is found in it.
int PrintDetectedLanguage(const CommandLine &line, std::istream &in, std::ostream &out,
                          std::ostream &err);

}  // namespace verz
