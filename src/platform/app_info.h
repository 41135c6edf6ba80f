#pragma once

#include <QString>

namespace verz {

// The program's version: shown in the about panel and sent in the mail link.
struct Version {
    int major;
    int minor;
};
inline constexpr Version kVersion{VERZ_VERSION_MAJOR, VERZ_VERSION_MINOR};

// "Version: 3.1": major, ".", minor, plain decimals.
QString VersionText(int major, int minor);

// Base name of the running executable, folder and extension removed
// ("Verzolan" as delivered). Names the settings store.
QString ExecutableBaseName();

// The folder that holds the running executable, without a trailing slash.
QString ApplicationFolder();

}  // namespace verz
