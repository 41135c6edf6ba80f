#pragma once

#include "engine/translation_form.h"

#include <QString>

namespace verz {

// The road from a click on the translate button to the text in the output box:
// fold, trim, build the address, download the page into the scratch file, read
// the translation out of it. One request at a time.
class TranslationRequest {
public:
    TranslationRequest(QString serviceHost, QString scratchPath);
    ~TranslationRequest();

    void Command6_Click(TranslationForm &form);
    // Fetches URL into Filename; true when Filename exists afterwards.
    bool DownloadPage(const QString &URL, const QString &Filename);
    void ReadTranslation(TranslationForm &form);

    // The address for a text as typed and a pair code.
    QString QueryAddress(const QString &text, const QString &lang) const;

    bool isRunning() const;
    // Abandons a running download (the window is closing): no file is left.
    void abort();

    const QString &scratchPath() const { return scratchPath_; }

private:
    QString serviceHost_;
    QString scratchPath_;
    struct Running;
    Running *running_ = nullptr;
};

// Folds the twelve French lower-case accented letters to plain ones.
QString FoldDiacritics(const QString &text);

}  // namespace verz
