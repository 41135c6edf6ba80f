#pragma once

#include <QByteArrayView>
#include <QString>

#include "docs/document_format.h"

namespace verz {

// Which of the six languages a text is most likely written in, by its
// commonest short words; empty when too few of them show to tell (a list, a
// table of figures, a few words). A stop-gap for documents: a French letter
// sent as en|fr would come back almost as it went, with no word said.
QString LikelyLanguage(const QString &text);

// The readable text of a document, enough to tell its language (the first
// 64 KiB or so): its main member's text for the zipped formats, the text
// between tags for HTML, between control words for RTF.
QString SampleText(DocumentFormat format, QByteArrayView content);

}  // namespace verz
