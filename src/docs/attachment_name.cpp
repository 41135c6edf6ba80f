#include "docs/attachment_name.h"

namespace verz {

namespace {

// Characters a quoted filename can carry as they are, on every client.
bool PlainSafe(QChar c)
{
    return c.unicode() >= 0x20 && c.unicode() < 0x7f && c != u'"' && c != u'\\' && c != u'%' &&
           c != u'/' && c != u';';
}

}  // namespace

QString TranslatedFileName(const QString &uploaded, const QString &targetCode,
                           const QString &extension)
{
    QString base = uploaded;
    const qsizetype slash = qMax(base.lastIndexOf(u'/'), base.lastIndexOf(u'\\'));
    base = base.sliced(slash + 1);
    // Control characters would end a header line or hide part of the name.
    base.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
    const qsizetype dot = base.lastIndexOf(u'.');
    if (dot >= 0)
        base.truncate(dot);
    base = base.trimmed();
    while (base.startsWith(u'.'))
        base.remove(0, 1);
    if (base.isEmpty())
        base = QStringLiteral("document");
    return base + u'.' + targetCode + u'.' + extension;
}

QByteArray AttachmentDisposition(const QString &name)
{
    QByteArray plain;
    bool needsExtended = false;
    for (const QChar c : name) {
        if (PlainSafe(c)) {
            plain += char(c.unicode());
        } else {
            plain += '_';
            needsExtended = true;
        }
    }
    QByteArray value = "attachment; filename=\"" + plain + '"';
    if (needsExtended)
        value += "; filename*=UTF-8''" + name.toUtf8().toPercentEncoding();
    return value;
}

}  // namespace verz
