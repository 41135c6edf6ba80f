#include "accents/accent_restorers.h"

namespace verz {

AccentRestorers::AccentRestorers(QString hunspellDir) : hunspellDir_(std::move(hunspellDir)) {}

QString AccentRestorers::restore(const QString &language, const QString &text)
{
    auto found = loaded_.find(language);
    if (found == loaded_.end())
        found = loaded_.insert(language, AccentRestorer::ForLanguage(language, hunspellDir_));
    return *found ? (*found)->restore(text) : text;
}

}  // namespace verz
