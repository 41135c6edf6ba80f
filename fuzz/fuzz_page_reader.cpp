// Arbitrary page bytes in, a translation out: never a crash, the reader's own
// promises hold whatever the page, and it agrees with the plain way of reading
// a page (decode all of it, join its lines, cut on characters, replace
// entities with a pattern).
#include "engine/page_reader.h"
#include "support/page_reader_reference.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
// The page read as one line: each line end with the spaces after it is one
// space. The marker may straddle a line end, so it is looked for in this.
QByteArray Joined(const QByteArray &page)
{
    QByteArray joined;
    joined.reserve(page.size());
    bool lineStart = false;
    for (qsizetype i = 0; i < page.size(); ++i) {
        const char c = page.at(i);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < page.size() && page.at(i + 1) == '\n')
                ++i;
            joined += ' ';
            lineStart = true;
        } else if (!(lineStart && c == ' ')) {
            joined += c;
            lineStart = false;
        }
    }
    return joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString translation = verz::ExtractTranslation(page);
    // Line ends are joined into spaces, so a translation is always one line.
    if (translation.contains(QLatin1Char('\r')) || translation.contains(QLatin1Char('\n')))
        std::abort();
    // Without the marker there is nothing to cut.
    if (!translation.isEmpty() && !Joined(page).contains("id=result_box dir="))
        std::abort();
    if (translation != verz::reference::ExtractTranslation(page))
        std::abort();
    const QString shown = verz::AppendTranslation(QString(), translation);
    if (shown.size() != translation.size() + 1)
        std::abort();
    return 0;
}
