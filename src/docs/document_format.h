#pragma once

#include "docs/zip_inspector.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace verz {

enum class DocumentFormat { Unknown, Text, Html, Rtf, Odt, Odp, Docx, Pptx, Xlsx };

struct FormatInfo {
    const char *extension;       // without the dot
    const char *contentType;     // what the translation is sent as
    const char *apertiumFormat;  // the `apertium -f` name
};

FormatInfo InfoOf(DocumentFormat format);
bool IsZipped(DocumentFormat format);

// The members whose content tells the zipped formats apart or holds their
// text (InspectZip's keep).
bool IsFormatMarker(const QString &name);

// Whether there is any text to translate: a document of pictures or empty
// paragraphs only goes back as it came. zip as for SniffFormat.
bool HasText(DocumentFormat format, QByteArrayView content, const ZipReport *zip);

// What a file is from its content alone: a zip's `mimetype` member or its
// `[Content_Types].xml` and main part, an RTF or HTML head, else text when it
// is valid UTF-8. zip is the inspection of the same bytes when they are a
// zip (nullptr otherwise).
DocumentFormat SniffFormat(QByteArrayView content, const ZipReport *zip);

}  // namespace verz
