// Arbitrary texts and arguments: the fast Remplace must give what the
// step-by-step definition gives, and fail exactly when it fails.
#include "engine/remplace.h"
#include "support/remplace_reference.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
// Splits the input into three texts over a tiny alphabet (so that matches
// are frequent) and three small integers.
QString takeText(const std::uint8_t *&data, std::size_t &size)
{
    static const char16_t alphabet[] = u"aAbé\u00C9 ";
    QString text;
    while (size > 0) {
        const std::uint8_t byte = *data++;
        --size;
        if (byte == 0xFF)
            break;
        text.append(QChar(alphabet[byte % 6]));
    }
    return text;
}

qint32 takeInt(const std::uint8_t *&data, std::size_t &size)
{
    if (size == 0)
        return 0;
    const std::int8_t value = static_cast<std::int8_t>(*data++);
    --size;
    return value;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const qint32 start = takeInt(data, size);
    const qint32 count = takeInt(data, size);
    const qint32 compare = takeInt(data, size) & 1;
    const QString source = takeText(data, size);
    const QString find = takeText(data, size);
    const QString replacement = takeText(data, size);

    const auto expected =
        verz::reference::Remplace(source, find, replacement, start, count, compare);
    try {
        const QString got = verz::Remplace(source, find, replacement, start, count, compare);
        if (!expected || got != *expected)
            std::abort();
    } catch (const verz::VerzError &error) {
        if (expected || error.number() != verz::VerzError::kInvalidArgument)
            std::abort();
    }
    return 0;
}
