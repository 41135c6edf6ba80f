#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace verz {

// A change to one text member's bytes on the document road: every XML member
// of an archive (name: its path in the archive, "content.xml") or the whole
// file of a format that is not one ("document.rtf", "document.html",
// "document.txt"). toConverter runs once the member is found safe, just
// before it is packed for the converter; fromConverter on what the
// converter gave back, before it is packed for the requester.
using MemberPass = std::function<QByteArray(const QString &name, QByteArray bytes)>;

struct MemberPasses {
    MemberPass toConverter;
    MemberPass fromConverter;
};

// The passes the service runs (none changes anything yet).
MemberPasses DocumentMemberPasses();

}  // namespace verz
