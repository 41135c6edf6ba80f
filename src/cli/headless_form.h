#pragma once

#include "engine/translation_form.h"

#include <QString>

#include <optional>

namespace verz {

// The window's side of a request, without a window: the pair and the fold
// come from the command line, one text at a time. The translation is kept as
// the page gave it rather than appended to a box. A request reports success
// only through appendTranslation and failure by setting the output text (the
// window's "Non Connecté"), so translation() tells the two apart.
class HeadlessForm : public TranslationForm {
public:
    HeadlessForm(int pairRow, QString pairCode, bool fold);

    // The next text; forgets the previous outcome.
    void setInput(QString text);
    // The translation of the last text, or nothing when it could not be had.
    const std::optional<QString> &translation() const { return translation_; }

    QString inputText() const override { return input_; }
    int foldValue() const override { return fold_ ? 1 : 0; }
    int pairRow() const override { return pairRow_; }
    QString pairCode() const override { return pairCode_; }
    QString outputText() const override { return output_; }
    void setOutputText(const QString &text) override { output_ = text; }
    void appendTranslation(const QString &translation) override { translation_ = translation; }
    void setTranslateEnabled(bool) override {}

private:
    int pairRow_;
    QString pairCode_;
    bool fold_;
    QString input_;
    QString output_;
    std::optional<QString> translation_;
};

}  // namespace verz
