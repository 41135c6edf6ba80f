#pragma once

#include <QByteArray>

#include <optional>

namespace verz {

// Makes one XML member of a document safe for whatever parser the converter
// runs: no document type declaration, hence no entity of any kind, no
// external DTD and nothing fetched. A DOCTYPE without an internal subset
// (an old writer's reference to a DTD by name) is cut out; one with an
// internal subset, any ENTITY declaration, or an encoding in which such
// markup would not be seen byte for byte (UTF-16, UTF-32, UTF-7, EBCDIC…)
// refuses the member: nullopt.
std::optional<QByteArray> DefuseXml(QByteArray member);

// Whether a member is one a converter parses as XML: by name, or by a
// content that opens as XML does.
bool IsXmlMember(const QString &name, const QByteArray &content);

}  // namespace verz
