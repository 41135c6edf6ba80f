#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace verz {

// Codes and identifiers are no words: Apertium reads « A-100 » as the article
// "a" and `edit_ownertrust` as the verb "edit". Before translation each one
// becomes a placeholder word no dictionary knows, which every leg passes on
// as it is; after, the placeholders become the codes again.
//
// A code is a run without spaces (its surrounding punctuation and a final
// full stop aside) that is an e-mail or web address, a path, holds an
// underscore, mixes letters and digits (not an ordinal such as 2nd or 3e),
// or joins words of two letters or more with dots (file names, domains,
// dotted identifiers; not "e.g.").
bool IsCode(const QString &word);

struct KeptCodes {
    QString text;       // with placeholders
    QStringList codes;  // the code of placeholder i
};

KeptCodes KeepCodes(const QString &text);
QString RestoreCodes(const QString &text, const QStringList &codes);

// The same on markup: only the text between tags is read, codes that are
// whole within one such stretch; stretches that are not UTF-8 stay as they
// are. RTF (as RtfForConverter writes it, UTF-8) is read as text, its
// braces and control words parting words and never taken for codes.
struct KeptMarkupCodes {
    QByteArray bytes;
    QStringList codes;
};
KeptMarkupCodes KeepCodesInMarkup(QByteArrayView markup, QStringList codes = {});
QByteArray RestoreCodesInMarkup(QByteArrayView markup, const QStringList &codes);
KeptMarkupCodes KeepCodesInRtf(QByteArrayView rtf);
QByteArray RestoreCodesInRtf(QByteArrayView rtf, const QStringList &codes);

}  // namespace verz
