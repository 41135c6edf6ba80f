#pragma once

#include "engine/page_reader.h"

#include <QString>

namespace verz {

// What a translation request reads from and writes to the window. The window
// implements it over Text1, Check1, Combo1, Lang, Text2 and Command6; tests
// implement it over plain fields.
class TranslationForm {
public:
    virtual ~TranslationForm() = default;

    virtual QString inputText() const = 0;   // Text1's text
    virtual int foldValue() const = 0;       // Check1's value: 0, 1 (checked) or 2
    virtual int pairRow() const = 0;         // Combo1.ListIndex, -1 while none is chosen
    virtual QString pairCode() const = 0;    // Lang
    virtual QString outputText() const = 0;  // Text2's text
    virtual void setOutputText(const QString &text) = 0;
    // Text2's rule for a new translation (see AppendTranslation). The window
    // adds it to the end of the box instead of rebuilding the box: a page can
    // hold megabytes.
    virtual void appendTranslation(const QString &translation)
    {
        setOutputText(AppendTranslation(outputText(), translation));
    }
    virtual void setTranslateEnabled(bool enabled) = 0;  // Command6.Enabled
    // Called with true when the download starts and false when it has ended,
    // whatever the outcome (the window shows a busy pointer meanwhile).
    virtual void setBusy(bool) {}
};

}  // namespace verz
