#pragma once

#include "cli/line_translator.h"

#include <QString>

#include <iosfwd>

namespace verz {

struct CommandLine;

// How long a document may take: the service gives each two minutes, and the
// upload and its start come on top.
inline constexpr int kDocumentTimeoutMs = 150000;

// `--file IN [--output OUT] [--force]`: sends IN to the service and writes the
// translation to OUT, by default beside IN under the name the service gives.
// Never writes over IN, nor over an existing file without --force. Prints the
// path written. Exit statuses as for texts: 1 when the service cannot be
// reached or fails, 2 for a file that cannot be read or written or that the
// service refuses.
int TranslateDocumentFile(const CommandLine &line, const ServiceAccess &service, std::ostream &out,
                          std::ostream &err);

}  // namespace verz
