#pragma once

#include <QByteArray>
#include <QString>

namespace verz {

// Turns the bytes of a downloaded translation page into the translation:
// decoding, line ends joined into spaces, the cut after the result-box marker
// up to the next "</div>", entity and "…" repair. Pure: no file, no window.
QString ExtractTranslation(const QByteArray &page);

// Text2's rule: an empty box becomes the translation and a space; otherwise the
// previous text, CR LF, the translation and a space.
QString AppendTranslation(const QString &previous, const QString &translation);

}  // namespace verz
