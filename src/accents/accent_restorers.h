#pragma once

#include "accents/accent_restorer.h"

#include <QHash>

namespace verz {

// One restorer per source language, each loading its dictionary on first
// use (French takes about a second); languages without one pass unchanged.
class AccentRestorers {
public:
    explicit AccentRestorers(QString hunspellDir = QStringLiteral("/usr/share/hunspell"));
    QString restore(const QString &language, const QString &text);

private:
    QString hunspellDir_;
    QHash<QString, std::shared_ptr<AccentRestorer>> loaded_;  // null: none for that language
};

}  // namespace verz
