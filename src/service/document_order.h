#pragma once

#include "docs/document_format.h"
#include "docs/member_passes.h"

#include <QByteArrayView>
#include <QString>

#include <variant>

namespace verz {

// A document to translate, as the form sent it; content points into the body.
// What the answer is sent as is known once the file is read, and goes with
// the order: nothing on the way asks for it again.
struct DocumentOrder {
    QString source;  // two-letter codes
    QString target;
    DocumentFormat format = DocumentFormat::Unknown;
    FormatInfo info = InfoOf(DocumentFormat::Unknown);  // the format's names and types
    QString fileName;                                   // as sent, folders and all
    QByteArrayView content;
    bool hasText = true;
    // What the converter reads (RepackDocument's answer) when there is text.
    QByteArray forConverter;
    // The answer's Content-Disposition: the sent name with the target's code
    // and the extension of the format the content has.
    QByteArray disposition;
};

// Why a form is refused: an HTTP status and the French text that says so.
struct DocumentRefusal {
    int status = 400;
    QString text;
};

// Reads and checks a /translate_doc form (multipart/form-data, fields `file`
// and `langpair`) and the file it carries: its format from its content, and a
// zipped one unpacked into nothing first (ZipLimits), so a bomb, a locked or a
// broken archive is refused before anything unpacks it for real; then
// repacked for the converter through pass, and the answer's name given.
std::variant<DocumentOrder, DocumentRefusal> ReadDocumentOrder(QByteArrayView contentType,
                                                               QByteArrayView body,
                                                               ZipLimits limits = {},
                                                               const MemberPass &pass = {});

}  // namespace verz
