#include "http_answer.h"

#include <QList>

namespace verz::test {

qsizetype ContentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:"))
            return line.mid(15).trimmed().toLongLong();
    }
    return -1;
}

std::optional<HttpAnswer> TakeHttpAnswer(QByteArray &received, bool closed)
{
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    HttpAnswer answer;
    answer.head = received.left(headEnd + 2);
    answer.status = answer.head.mid(9, 3).toInt();
    // A 204 ends with its head, whatever the connection does next.
    const qsizetype length = answer.status == 204 ? 0 : ContentLength(answer.head);
    const qsizetype available = received.size() - headEnd - 4;
    if (!closed && (length < 0 || available < length))
        return std::nullopt;
    answer.body = received.mid(headEnd + 4, length < 0 ? -1 : length);
    received.remove(0, headEnd + 4 + answer.body.size());
    return answer;
}

}  // namespace verz::test
