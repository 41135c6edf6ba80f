#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace verz {

// Apertium's RTF converter reads letters beyond ASCII only as raw UTF-8: it
// takes `\uN` for markup (the word is cut there) and garbles `\'xx`. Before
// it, both become the UTF-8 of the letter they stand for (`\'xx` read in the
// code page the file declares, 1252 when it declares none or one we do not
// know, each `\uN` followed by its \ucN substitutes, which are dropped).
QByteArray RtfForConverter(QByteArrayView rtf);

// What the converter wrote back is raw UTF-8 inside a file that says it is in
// a code page: every such letter becomes `\uN` with a 1252 substitute for
// readers without Unicode (`?` where 1252 has none), so every reader shows it.
QByteArray RtfFromConverter(QByteArrayView rtf);

}  // namespace verz
