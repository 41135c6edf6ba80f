#pragma once

#include "engine/translation_form.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QUrl;

namespace verz {

class ServiceStarter;

// The road from a click on the translate button to the text in the output box:
// fold, trim, build the address, download the page into the scratch file, read
// the translation out of it. One request at a time.
//
// The download blocks its caller but runs a local event loop, so the window
// keeps repainting meanwhile. While it runs, a second translate() does
// nothing. After abort() (the window is closing) the request no longer touches
// the form apart from setBusy(false); when the request object itself is
// destroyed mid-download, the click returns without touching anything.
class TranslationRequest {
public:
    static constexpr int kTransferTimeoutMs = 15000;
    static constexpr qint64 kMaxPageBytes = 8 * 1024 * 1024;
    static constexpr int kMaxRedirects = 5;

    // Gives the scratch file's path when the first download needs it.
    using ScratchPathSource = std::function<QString()>;

    TranslationRequest(QString serviceHost, QString scratchPath);
    TranslationRequest(QString serviceHost, ScratchPathSource scratchPath);
    ~TranslationRequest();
    TranslationRequest(const TranslationRequest &) = delete;
    TranslationRequest &operator=(const TranslationRequest &) = delete;

    void translate(TranslationForm &form);
    // Fetches URL; true when this download got the page whole with a 2xx
    // status. The old file is deleted first; the page is then written to
    // Filename (skipped when empty or when it cannot be written) and kept in
    // memory for ReadTranslation, so a failure leaves no file and a folder that
    // refuses the file costs no translation.
    bool DownloadPage(const QString &URL, const QString &Filename);
    // Reads the page the last DownloadPage got, or the scratch file when there
    // is none.
    void ReadTranslation(TranslationForm &form);

    // The address for a text after folding and a pair code: the text's outer
    // spaces trimmed and its value percent-encoded as UTF-8; the code as it is.
    QString queryAddress(const QString &text, const QString &lang) const;

    bool isRunning() const;
    // Abandons a running download (the window is closing): no file is left.
    void abort();

    // Asks the source the first time only.
    const QString &scratchPath();

    // Tests shorten these so that a hanging service costs a second, not fifteen.
    void setTransferLimits(int timeoutMs, qint64 maxPageBytes);
    // With a starter, a refused connection starts the service and the request
    // is sent once more, within the same deadline.
    void setServiceStarter(std::shared_ptr<ServiceStarter> starter)
    {
        starter_ = std::move(starter);
    }

private:
    struct Running;
    bool fetchBody(const QUrl &url, QByteArray &body, const QDeadlineTimer &deadline);
    void keepPage(QByteArray page, const QString &Filename);

    QString serviceHost_;
    ScratchPathSource scratchSource_;
    QString scratchPath_;
    Running *running_ = nullptr;
    bool lastAborted_ = false;
    QByteArray page_;  // the last page downloaded, until ReadTranslation takes it
    bool hasPage_ = false;
    int timeoutMs_ = kTransferTimeoutMs;
    std::shared_ptr<ServiceStarter> starter_;
    bool lastRefused_ = false;
    qint64 maxPageBytes_ = kMaxPageBytes;
    std::unique_ptr<QNetworkAccessManager> network_;
    // Cleared by the destructor, so that a download whose owner went away in
    // the middle of it returns without touching freed members.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Folds the twelve French lower-case accented letters to plain ones.
QString FoldDiacritics(const QString &text);

// Removes leading and trailing U+0020 only; tabs and line breaks stay.
QString TrimSpaces(const QString &text);

}  // namespace verz
