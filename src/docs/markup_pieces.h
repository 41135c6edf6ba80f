#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace verz {

// Apertium's HTML converter reads a tag whose '>' is on the next line (as
// some generated pages write every tag) as no boundary: the title's and the
// heading's words then run into one sentence and swap places. The white space
// before each tag's '>' goes; comments, scripts and styles stay as they are.
QByteArray TightenTagEnds(QByteArrayView html);

// A line break inside a Word paragraph is no boundary for Apertium's
// converter, so words move across it. Before the converter each plain break
// (<w:br/>, <w:cr/>) in a run directly in a paragraph ends the paragraph and
// opens a marked one whose run has the same properties; after it, the marks
// are joined back into the break they were.
QByteArray SplitLineBreaks(QByteArrayView wordXml);
QByteArray JoinLineBreaks(QByteArrayView wordXml);

}  // namespace verz
