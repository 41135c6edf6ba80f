#pragma once

#include <QByteArray>
#include <QString>

namespace verz {

// The name a translated document goes back under: the uploaded name's last
// component without its extension, the target language's code, the
// extension of the format the content really has («lettre.odt», en →
// «lettre.en.odt»). Folders in the uploaded name are dropped.
QString TranslatedFileName(const QString &uploaded, const QString &targetCode,
                           const QString &extension);

// A Content-Disposition value that offers the file for download under that
// name: a plain ASCII filename for old clients and, when the name needs it,
// filename* in UTF-8 (RFC 6266, RFC 5987).
QByteArray AttachmentDisposition(const QString &name);

}  // namespace verz
