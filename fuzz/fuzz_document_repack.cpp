// An archive and its XML members as a stranger may make them: the first byte
// picks the format, the rest is the file. Whatever comes out of the repack
// must hold only safe regular members, no DOCTYPE or ENTITY in any XML
// member, and repack again to the same bytes.
#include "docs/document_repack.h"
#include "docs/xml_defuse.h"
#include "docs/zip_inspector.h"

#include <cstddef>
#include <cstdint>

namespace {

bool Declares(const QByteArray &member)
{
    const QByteArray lower = member.toLower();
    return lower.contains("<!doctype") || lower.contains("<!entity");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const verz::DocumentFormat kFormats[] = {
        verz::DocumentFormat::Odt, verz::DocumentFormat::Docx, verz::DocumentFormat::Rtf};
    const verz::DocumentFormat format = kFormats[data[0] % 3];
    const QByteArrayView file(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const verz::ZipLimits limits{1024 * 1024, 64};
    if (const auto defused = verz::DefuseXml(file.toByteArray()); defused && Declares(*defused))
        __builtin_trap();
    const verz::Repacked once = verz::RepackDocument(format, file, {}, limits);
    const QByteArray *packed = std::get_if<QByteArray>(&once);
    if (!packed || !verz::IsZipped(format))
        return 0;
    const verz::ZipVerdict verdict = verz::UnpackZip(
        *packed,
        [](const verz::ZipEntry &entry, const QByteArray &content) {
            if (entry.isSpecial() || entry.isDirectory() || entry.name.startsWith(u'/') ||
                entry.name.split(u'/').contains(QStringLiteral("..")) ||
                (verz::IsXmlMember(entry.name, content) && Declares(content)))
                __builtin_trap();
            return true;
        },
        limits);
    if (verdict != verz::ZipVerdict::Sound)
        __builtin_trap();
    const verz::Repacked twice = verz::RepackDocument(format, *packed, {}, limits);
    if (std::get_if<QByteArray>(&twice) == nullptr || std::get<QByteArray>(twice) != *packed)
        __builtin_trap();
    return 0;
}
