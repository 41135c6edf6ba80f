#pragma once

#include <QString>

namespace verz {

// The local translation page service the program talks to by default.
inline constexpr char16_t kDefaultServiceHost[] = u"127.0.0.1:8787";

// The service host for this run: the per-user entry "service" in section "data"
// (a host or host:port) when it holds one, else kDefaultServiceHost. Read once
// at start-up, never written.
QString ServiceHostFromSettings(const QString &appName);

// Where the downloaded page is kept between download and reading: "Verz.txt"
// in the application's folder, or in the user's cache folder when the
// application's folder cannot be written. Computed once per run.
QString ScratchFilePath();

// The choice behind ScratchFilePath: "Verz.txt" in appFolder when that folder
// can be written, else in cacheFolder (created when missing).
QString ScratchFilePathIn(const QString &appFolder, const QString &cacheFolder);

}  // namespace verz
