#pragma once

#include "engine/translation_form.h"

#include <QString>

#include <functional>

namespace verz::test {

// The window's side of a translation request over plain fields, with a record
// of what the request did to it.
struct FakeForm : TranslationForm {
    QString input;
    int fold = 0;
    int row = 0;
    QString lang = QStringLiteral("en|fr");
    QString output;
    bool translateEnabled = true;
    int disableCount = 0;
    int busyStarts = 0;
    int busyEnds = 0;
    // Runs when the download starts (busy true), inside the request.
    std::function<void()> onBusy;

    QString inputText() const override { return input; }
    int foldValue() const override { return fold; }
    int pairRow() const override { return row; }
    QString pairCode() const override { return lang; }
    QString outputText() const override { return output; }
    void setOutputText(const QString &text) override { output = text; }
    void setTranslateEnabled(bool enabled) override
    {
        translateEnabled = enabled;
        if (!enabled)
            ++disableCount;
    }
    void setBusy(bool busy) override
    {
        if (!busy) {
            ++busyEnds;
            return;
        }
        ++busyStarts;
        if (onBusy)
            onBusy();
    }
};

}  // namespace verz::test
