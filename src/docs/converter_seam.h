#pragma once

#include "docs/document_format.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace verz {

// What the service does to a document around Apertium's converters, so the
// translation reads right: RTF letters in the form the converter reads and
// in the form RTF means, HTML tag ends it sees, Word line breaks as
// boundaries, codes kept as they are, the language tags of the target.
//
// Member by member, for the zipped formats ("" names the whole of an RTF,
// HTML or text file); codes collects what the placeholders stand for, read
// again after the converter.
QByteArray MemberForConverter(DocumentFormat format, const QString &member, QByteArrayView bytes,
                              QStringList &codes);
QByteArray MemberFromConverter(DocumentFormat format, const QString &member, QByteArrayView bytes,
                               const QString &target, const QStringList &codes);
// The members the two above change.
bool IsTouchedMember(DocumentFormat format, const QString &member);

// The whole document, members of a zip rewritten in place; a zip that does
// not read again comes back as it came.
QByteArray DocumentForConverter(DocumentFormat format, QByteArrayView document, QStringList &codes);
QByteArray DocumentFromConverter(DocumentFormat format, QByteArrayView document,
                                 const QString &target, const QStringList &codes);

}  // namespace verz
