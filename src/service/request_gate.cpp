#include "service/request_gate.h"

namespace verz {

namespace {

bool IsTokenChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '!' || c == '~' || c == '*' || c == '\'' || c == '#' ||
           c == '$' || c == '%' || c == '&' || c == '^' || c == '`' || c == '|' || c == '+';
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Visible ASCII only: no spaces, no control bytes, no raw UTF-8 in the target.
bool IsTargetChar(char c)
{
    return c > 0x20 && c < 0x7f;
}

// Checks as much of the line as has arrived; complete says whether the line
// end was seen (then every part must be there).
GateVerdict JudgeLine(QByteArrayView line, bool complete)
{
    qsizetype i = 0;
    while (i < line.size() && IsTokenChar(line[i]))
        ++i;
    if (i == line.size())
        return complete || i > 32 ? GateVerdict::BadRequest : GateVerdict::NeedMore;
    if (i == 0 || line[i] != ' ')
        return GateVerdict::BadRequest;
    ++i;
    const qsizetype targetStart = i;
    while (i < line.size() && line[i] != ' ') {
        const char c = line[i];
        if (!IsTargetChar(c))
            return GateVerdict::BadRequest;
        if (c == '%') {
            // An escape cut by the end of what has arrived is judged later.
            for (qsizetype k = 1; k <= 2; ++k) {
                if (i + k >= line.size())
                    return complete ? GateVerdict::BadRequest : GateVerdict::NeedMore;
                if (!IsHex(line[i + k]))
                    return GateVerdict::BadRequest;
            }
        }
        ++i;
    }
    if (i == line.size())
        return complete ? GateVerdict::BadRequest : GateVerdict::NeedMore;
    if (i == targetStart)
        return GateVerdict::BadRequest;
    const QByteArrayView version = line.sliced(i + 1);
    const QByteArrayView expected("HTTP/1.");
    if (!complete) {
        const qsizetype n = std::min(version.size(), expected.size());
        return version.first(n) == expected.first(n) ? GateVerdict::NeedMore
                                                     : GateVerdict::BadRequest;
    }
    if (version.size() != 8 || !version.startsWith(expected) ||
        (version[7] != '0' && version[7] != '1'))
        return GateVerdict::BadRequest;
    return GateVerdict::Pass;
}

}  // namespace

GateVerdict JudgeRequestStart(QByteArrayView head)
{
    // Blank lines before a request are allowed by HTTP/1.1.
    qsizetype start = 0;
    while (start < head.size() && (head[start] == '\r' || head[start] == '\n'))
        ++start;
    const QByteArrayView rest = head.sliced(start);
    const qsizetype lineEnd = rest.indexOf('\n');
    if (lineEnd < 0) {
        if (rest.size() > kMaxRequestLine)
            return GateVerdict::UriTooLong;
        return JudgeLine(rest, false);
    }
    QByteArrayView line = rest.first(lineEnd);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.size() > kMaxRequestLine)
        return GateVerdict::UriTooLong;
    return JudgeLine(line, true);
}

}  // namespace verz
