// The document form as a stranger may send it: the first byte picks a content
// type, the rest is the body. Whatever it is, it is read within its bounds and
// a small cap keeps a bomb found by the fuzzer quick to refuse.
#include "service/document_order.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView type = data[0] % 2 == 0
                                    ? QByteArrayView("multipart/form-data; boundary=B")
                                    : QByteArrayView("multipart/form-data; boundary=\"B\"");
    const QByteArrayView body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const auto order = verz::ReadDocumentOrder(type, body, {1024 * 1024, 64});
    if (const verz::DocumentOrder *read = std::get_if<verz::DocumentOrder>(&order)) {
        // The file lies inside the body it came in.
        if (read->content.data() < body.data() ||
            read->content.data() + read->content.size() > body.data() + body.size())
            __builtin_trap();
    }
    return 0;
}
