#include "docs/document_repack.h"

#include "docs/xml_defuse.h"
#include "docs/zip_packer.h"

#include <QSet>

#include <optional>

namespace verz {

namespace {

RepackRefusal Refuse(int status, const QString &text)
{
    return {status, text};
}

QString Quoted(const QString &name)
{
    return QStringLiteral("« %1 »").arg(name.left(80));
}

// A relative path of plain names: nothing that leads out of the folder it is
// unpacked in, nothing a shell or a terminal would read as more than a name.
bool SafeName(const ZipEntry &entry)
{
    if (entry.rawName.isEmpty() || entry.rawName.size() > 1024 ||
        entry.name.toUtf8() != entry.rawName)
        return false;
    for (const char c : entry.rawName)
        if (quint8(c) < 0x20 || c == 0x7f || c == '\\' || c == ':')
            return false;
    QString path = entry.name;
    if (path.endsWith(u'/'))
        path.chop(1);
    for (const QString &part : path.split(u'/'))
        if (part.isEmpty() || part == u"." || part == u".." || part.size() > 255)
            return false;
    return true;
}

// A folder a converter would take for one of the parts it reads.
bool FolderLooksLikePart(const QString &folder)
{
    const QString last = folder.sliced(folder.lastIndexOf(u'/') + 1);
    return IsXmlMember(last, {}) || last.compare(u"mimetype", Qt::CaseInsensitive) == 0;
}

bool IsOpenDocument(DocumentFormat format)
{
    return format == DocumentFormat::Odt || format == DocumentFormat::Odp;
}

QString LoneMemberName(DocumentFormat format)
{
    return QStringLiteral("document.") + QString::fromLatin1(InfoOf(format).extension);
}

}  // namespace

Repacked RepackDocument(DocumentFormat format, QByteArrayView content, const MemberPass &pass,
                        ZipLimits limits)
{
    if (!IsZipped(format))
        return pass ? pass(LoneMemberName(format), content.toByteArray())
                    : QByteArray::fromRawData(content.data(), content.size());

    ZipPacker packer;
    // OpenDocument's first member says what the package is, stored, so that
    // its bytes sit at a fixed offset: written from the format itself.
    if (IsOpenDocument(format))
        packer.add("mimetype", InfoOf(format).contentType, true);
    QSet<QString> files;
    QSet<QString> folders;
    std::optional<RepackRefusal> refusal;
    const ZipVisit visit = [&](const ZipEntry &entry, const QByteArray &bytes) {
        if (!SafeName(entry)) {
            refusal = Refuse(422, QStringLiteral("Document refusé : un de ses membres a un nom "
                                                 "qui sort de l'archive ou n'est pas un nom (%1).")
                                      .arg(Quoted(entry.name)));
            return false;
        }
        if (entry.isSpecial()) {
            refusal = Refuse(415, QStringLiteral("Document refusé : son archive contient un lien "
                                                 "ou un fichier spécial (%1), que le service ne "
                                                 "suit pas.")
                                      .arg(Quoted(entry.name)));
            return false;
        }
        QString name = entry.name;
        if (entry.isDirectory()) {
            if (!bytes.isEmpty()) {
                refusal = Refuse(422, QStringLiteral("Document endommagé : un dossier de son "
                                                     "archive a un contenu (%1).")
                                          .arg(Quoted(name)));
                return false;
            }
            if (name.endsWith(u'/'))
                name.chop(1);
            folders.insert(name);
            return true;  // folders come from the files' names; none is written
        }
        if (files.contains(name)) {
            refusal = Refuse(422, QStringLiteral("Document refusé : son archive contient deux "
                                                 "fois le membre %1.")
                                      .arg(Quoted(name)));
            return false;
        }
        files.insert(name);
        for (qsizetype slash = name.indexOf(u'/'); slash >= 0;
             slash = name.indexOf(u'/', slash + 1))
            folders.insert(name.first(slash));
        if (IsOpenDocument(format) && name == u"mimetype")
            return true;
        QByteArray member = bytes;
        if (IsXmlMember(name, member)) {
            std::optional<QByteArray> defused = DefuseXml(std::move(member));
            if (!defused) {
                refusal = Refuse(422, QStringLiteral("Document refusé : sa partie %1 déclare un "
                                                     "type de document ou des entités XML (ou un "
                                                     "encodage autre que UTF-8), que le service "
                                                     "ne lit pas.")
                                          .arg(Quoted(name)));
                return false;
            }
            member = pass ? pass(name, std::move(*defused)) : std::move(*defused);
        }
        packer.add(entry.rawName, member);
        return true;
    };
    const ZipVerdict verdict = UnpackZip(content, visit, limits);
    if (refusal)
        return *refusal;
    if (verdict != ZipVerdict::Sound)
        return Refuse(422, QStringLiteral("Document endommagé ou tronqué : son archive ne se lit "
                                          "pas."));
    for (const QString &folder : std::as_const(folders)) {
        if (files.contains(folder) || FolderLooksLikePart(folder))
            return Refuse(422, QStringLiteral("Document refusé : un dossier de son archive porte "
                                              "le nom d'une de ses parties (%1).")
                                   .arg(Quoted(folder + u'/')));
    }
    return packer.finish();
}

}  // namespace verz
