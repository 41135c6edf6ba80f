#pragma once

#include <QString>
#include <QStringView>

namespace verz {

enum class EscapeQuotes { Yes, No };

// The text with & < > as entities, and " ' too unless told otherwise: a text
// only ever placed between tags (APy's blocks) keeps its quotes, so that APy
// sees them as the punctuation they are.
QString HtmlEscaped(QStringView text, EscapeQuotes quotes = EscapeQuotes::Yes);

}  // namespace verz
