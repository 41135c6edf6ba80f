#pragma once

#include <QString>

namespace verz {

// A pivot's second leg leaves the words it does not know as they came, and
// a word it does not know that the source does not hold is one the first leg
// made: Catalan left in French (« Gener », « ruda »). The last leg of a pivot
// is asked with marks ("*word", "#word"), and the sentences with such words
// are taken from the next measured route where it has fewer.

// How many marked words of marked are not in source (case aside).
int LegMadeUnknowns(const QString &marked, const QString &source);
// The text without APy's marks.
QString WithoutMarks(const QString &marked);
// Sentence by sentence when both cut into as many sentences, else whole:
// other's text where it has fewer leg-made unknowns, first's otherwise. Both
// marked; the answer is not.
QString PreferKnown(const QString &source, const QString &first, const QString &other);
// A source that holds the marks itself cannot be read this way.
bool CanMark(const QString &source);

}  // namespace verz
