#include "service/document_order.h"

#include "common/languages.h"
#include "docs/attachment_name.h"
#include "docs/document_repack.h"
#include "docs/multipart_form.h"

namespace verz {

namespace {

DocumentRefusal Refuse(int status, const char *text)
{
    return {status, QString::fromUtf8(text)};
}

DocumentRefusal FormRefusal(FormError error)
{
    switch (error) {
    case FormError::NotMultipart:
        return Refuse(415, "Envoyez le document dans un formulaire multipart/form-data.");
    case FormError::NoBoundary:
        return Refuse(400, "Formulaire illisible : sa limite (boundary) manque.");
    case FormError::Truncated:
        return Refuse(400, "Formulaire incomplet : l'envoi a été coupé avant la fin.");
    case FormError::Malformed:
        return Refuse(400, "Formulaire illisible : une de ses parties est mal formée.");
    case FormError::DuplicateField:
        return Refuse(400, "Formulaire ambigu : un champ y figure deux fois (un seul fichier "
                           "à la fois).");
    }
    return Refuse(400, "Formulaire illisible.");
}

const char kLocked[] = "Document protégé par un mot de passe : enregistrez-le sans mot de "
                       "passe pour le traduire.";

DocumentRefusal ZipRefusal(ZipVerdict verdict)
{
    switch (verdict) {
    case ZipVerdict::TooLarge:
        return Refuse(413, "Document refusé : une fois décompressé, il dépasserait la taille "
                           "admise.");
    case ZipVerdict::Encrypted:
        return Refuse(422, kLocked);
    case ZipVerdict::Unsupported:
        return Refuse(415, "Archive d'un type non pris en charge (zip64 ou compression "
                           "inconnue).");
    case ZipVerdict::Corrupt:
    case ZipVerdict::Refused:
    case ZipVerdict::NotZip:
    case ZipVerdict::Sound:
        break;
    }
    return Refuse(422, "Document endommagé ou tronqué : son archive ne se lit pas.");
}

// An encrypted docx, xlsx or pptx is no zip but an OLE compound file holding
// the package enciphered, under these stream names (UTF-16 in its directory).
bool IsEncryptedOfficePackage(QByteArrayView content)
{
    if (!content.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return false;
    const QByteArray stream = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    return QByteArrayView(content).indexOf(stream) >= 0;
}

bool LooksZipped(QByteArrayView content)
{
    return content.startsWith("PK\x03\x04") || content.startsWith("PK\x05\x06");
}

}  // namespace

std::variant<DocumentOrder, DocumentRefusal> ReadDocumentOrder(QByteArrayView contentType,
                                                               QByteArrayView body,
                                                               ZipLimits limits,
                                                               const MemberPass &pass)
{
    const auto parsed = ParseMultipartForm(contentType, body);
    if (const FormError *error = std::get_if<FormError>(&parsed))
        return FormRefusal(*error);
    const MultipartForm &form = std::get<MultipartForm>(parsed);
    const FormPart *file = form.find("file");
    const FormPart *pair = form.find("langpair");
    if (!file || !file->isFile)
        return Refuse(400, "Aucun fichier dans le formulaire (champ « file »).");
    if (!pair)
        return Refuse(400, "Paire de langues manquante (champ « langpair », par exemple en|fr).");

    DocumentOrder order;
    const QString code = QString::fromUtf8(pair->data).trimmed();
    const QStringList sides = code.split(u'|');
    if (sides.size() != 2 || !LanguageByCode(sides[0]) || !LanguageByCode(sides[1]) ||
        sides[0] == sides[1])
        return Refuse(400, "Paire de langues inconnue : choisissez-en une de la liste "
                           "(par exemple en|fr).");
    order.source = sides[0];
    order.target = sides[1];
    if (order.source == u"de" || order.target == u"de")
        return Refuse(422, "Les paires avec l'allemand ne traduisent que des mots, au "
                           "dictionnaire : elles ne traduisent pas de document.");
    order.fileName = file->fileName;
    order.content = file->data;
    if (order.content.isEmpty())
        return Refuse(400, "Le fichier envoyé est vide.");

    if (IsEncryptedOfficePackage(order.content))
        return Refuse(422, kLocked);
    ZipReport zip;
    const bool zipped = LooksZipped(order.content);
    if (zipped) {
        zip = InspectZip(order.content, IsFormatMarker, limits);
        if (zip.verdict != ZipVerdict::Sound)
            return ZipRefusal(zip.verdict);
    }
    order.format = SniffFormat(order.content, zipped ? &zip : nullptr);
    if (order.format == DocumentFormat::Unknown)
        return zipped ? Refuse(415, "Archive zip qui n'est pas un document : envoyez un fichier "
                                    "odt, odp, docx, pptx ou xlsx.")
                      : Refuse(415, "Format non reconnu : envoyez un fichier texte, HTML, RTF, "
                                    "odt, odp, docx, pptx ou xlsx.");
    order.info = InfoOf(order.format);
    order.hasText = HasText(order.format, order.content, zipped ? &zip : nullptr);
    // Even a document that goes back as it came is checked: the same file
    // gets the same answer whatever its text.
    Repacked repacked = RepackDocument(order.format, order.content, pass, limits);
    if (const RepackRefusal *refusal = std::get_if<RepackRefusal>(&repacked))
        return DocumentRefusal{refusal->status, refusal->text};
    if (order.hasText)
        order.forConverter = std::get<QByteArray>(std::move(repacked));
    order.disposition = AttachmentDisposition(TranslatedFileName(
        order.fileName, order.target, QString::fromLatin1(order.info.extension)));
    return order;
}

}  // namespace verz
