// Arbitrary page bytes in, a translation out: never a crash, and the reader's
// own promises hold whatever the page.
#include "engine/page_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString translation = verz::ExtractTranslation(page);
    // Line ends are joined into spaces, so a translation is always one line.
    if (translation.contains(QLatin1Char('\r')) || translation.contains(QLatin1Char('\n')))
        std::abort();
    // Without the marker there is nothing to cut.
    if (!page.contains("id=result_box dir=") && !translation.isEmpty())
        std::abort();
    const QString shown = verz::AppendTranslation(QString(), translation);
    if (shown.size() != translation.size() + 1)
        std::abort();
    return 0;
}
