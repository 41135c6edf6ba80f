#pragma once

#include "ocr/page_reader_child.h"

#include <QByteArray>
#include <QString>

namespace verz {

// The bounds of one reading: the picture's own (checked from its head), the
// child's address space and wall-clock time, and the text sent back.
struct OcrLimits {
    PictureLimits picture;
    int timeoutMs = 120000;
    std::int64_t memoryBytes = 3LL << 30;
    qsizetype maxTextBytes = 4 << 20;
};

struct OcrResult {
    // PageReadStatus, or FileUnreadable for a path that cannot be read.
    enum class Status {
        Read,
        NoText,
        NotAPicture,
        UnsupportedFormat,
        TooLarge,
        NoLanguageData,
        Undecodable,
        OutOfTime,
        OutOfMemory,
        FileUnreadable
    };
    Status status = Status::NotAPicture;
    QString text;              // lines as in the picture, paragraphs parted by an empty line
    qint64 peakMemoryKib = 0;  // the reading child's resident set at its peak
};

// Reads the text of a picture in a forked child (no Qt in it) under an
// address-space limit, ended at the deadline; nothing is written to disk and
// the child is always reaped. language is Tesseract's: "fra", "eng+deu".
OcrResult ReadTextInPicture(const QByteArray &bytes, const QString &language,
                            const OcrLimits &limits = {});
OcrResult ReadTextInPictureFile(const QString &path, const QString &language,
                                const OcrLimits &limits = {});

// What went wrong, in French, for the user; picture names the file.
QString OcrProblemMessage(OcrResult::Status status, const QString &picture, const QString &language,
                          const OcrLimits &limits = {});

}  // namespace verz
