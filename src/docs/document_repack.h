#pragma once

#include "docs/document_format.h"
#include "docs/member_passes.h"
#include "docs/zip_inspector.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <variant>

namespace verz {

// Why an archive does not go on: an HTTP status and the French text that says so.
struct RepackRefusal {
    int status = 422;
    QString text;
};

// The one road a document takes to a converter and back. An archive is
// never handed on as it came: it is unpacked member by member and packed
// anew with only regular files under safe relative names (a link, a device,
// a folder named like a text part, a name leading out or met twice refuses
// it), every XML member defused (DefuseXml), and for OpenDocument its
// `mimetype` first and stored. Each text member passes through pass on the
// way (see MemberPasses); a format that is no archive is one such member
// (with no pass: the same bytes, not copied, valid while content is).
using Repacked = std::variant<QByteArray, RepackRefusal>;
Repacked RepackDocument(DocumentFormat format, QByteArrayView content, const MemberPass &pass,
                        ZipLimits limits = {});

}  // namespace verz
