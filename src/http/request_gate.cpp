#include "http/request_gate.h"

namespace verz {

namespace {

using Status = HttpResponder::StatusCode;

// The refusals of a head, whether judged while it arrives or read whole.
constexpr Refusal kMalformed{Status::BadRequest, "Requête mal formée."};
constexpr Refusal kLineTooLong{Status::UriTooLong, "Requête trop longue."};
constexpr Refusal kHeadTooLarge{Status::RequestHeaderFieldsTooLarge,
                                "En-tête de requête trop grand."};

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

qsizetype SkipBlankLines(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    return start;
}

QByteArrayView Trimmed(QByteArrayView value)
{
    while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
        value = value.sliced(1);
    while (!value.isEmpty() && (value.back() == ' ' || value.back() == '\t'))
        value.chop(1);
    return value;
}

// Field values may hold tabs and bytes past ASCII, never other control bytes
// (a lone CR would let one field smuggle another).
bool IsFieldValue(QByteArrayView value)
{
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return false;
    }
    return true;
}

bool IsDigits(QByteArrayView value)
{
    if (value.isEmpty())
        return false;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool HasToken(QByteArrayView list, QByteArrayView token)
{
    for (const QByteArray &item : list.toByteArray().split(',')) {
        if (Trimmed(item).compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Takes one field line into the request; false when it is malformed.
bool TakeField(QByteArrayView line, HttpRequest &request, QByteArray &contentLength)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    const QByteArrayView name = line.first(colon);
    for (const char c : name) {
        if (!IsTokenChar(c))
            return false;  // also a space before the colon
    }
    const QByteArrayView value = Trimmed(line.sliced(colon + 1));
    if (!IsFieldValue(value))
        return false;
    request.fields.append({name.toByteArray(), value.toByteArray()});
    if (name.compare("Host", Qt::CaseInsensitive) == 0) {
        if (request.hasHost)
            return false;
        request.hasHost = true;
        request.host = value.toByteArray();
    } else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        // Two different lengths leave the body's end to guesswork.
        if (!IsDigits(value) || (!contentLength.isNull() && contentLength != value))
            return false;
        contentLength = value.toByteArray();
        if (value.count('0') != value.size())
            request.announcesBody = true;
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        request.announcesBody = true;
    } else if (name.compare("Connection", Qt::CaseInsensitive) == 0) {
        if (HasToken(value, "close"))
            request.keepAlive = false;
    }
    return true;
}

}  // namespace

qsizetype FindHeadEnd(QByteArrayView bytes)
{
    qsizetype at = SkipBlankLines(bytes);
    while ((at = bytes.indexOf('\n', at)) >= 0) {
        ++at;
        if (at < bytes.size() && bytes[at] == '\n')
            return at + 1;
        if (at + 1 < bytes.size() && bytes[at] == '\r' && bytes[at + 1] == '\n')
            return at + 2;
    }
    return -1;
}

std::variant<HttpRequest, Refusal> ParseRequestHead(QByteArrayView head)
{
    switch (JudgeRequestStart(head)) {
    case GateVerdict::Pass:
        break;
    case GateVerdict::UriTooLong:
        return kLineTooLong;
    case GateVerdict::NeedMore:
    case GateVerdict::BadRequest:
        return kMalformed;
    }
    if (head.size() > kMaxRequestHead)
        return kHeadTooLarge;

    HttpRequest request;
    QByteArray contentLength;
    bool requestLine = true;
    qsizetype fieldCount = 0;
    QByteArrayView rest = head.sliced(SkipBlankLines(head));
    while (!rest.isEmpty()) {
        const qsizetype lineEnd = rest.indexOf('\n');
        QByteArrayView line = lineEnd < 0 ? rest : rest.first(lineEnd);
        rest = lineEnd < 0 ? QByteArrayView() : rest.sliced(lineEnd + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (requestLine) {
            // The gate has checked its shape: method SP target SP HTTP/1.x.
            const qsizetype space = line.indexOf(' ');
            const qsizetype secondSpace = line.indexOf(' ', space + 1);
            request.method = line.first(space).toByteArray();
            request.target = line.sliced(space + 1, secondSpace - space - 1).toByteArray();
            request.http10 = line.endsWith("1.0");
            request.keepAlive = !request.http10;
            requestLine = false;
            continue;
        }
        if (line.isEmpty())
            break;
        // A line folded onto the one before it is obsolete and ambiguous.
        if (line.front() == ' ' || line.front() == '\t' || !TakeField(line, request, contentLength))
            return kMalformed;
        if (++fieldCount > kMaxHeaderFields)
            return kHeadTooLarge;
    }
    if (!request.http10 && !request.hasHost)
        return kMalformed;  // HTTP/1.1 requires it
    if (request.announcesBody && !contentLength.isNull() &&
        !request.field("Transfer-Encoding").isNull())
        return kMalformed;  // two framings: a classic smuggling vector
    return request;
}

HeadRead ReadRequestHead(QByteArrayView buffer)
{
    HeadRead read;
    if (const qsizetype headEnd = FindHeadEnd(buffer); headEnd >= 0) {
        auto parsed = ParseRequestHead(buffer.first(headEnd));
        if (Refusal *refusal = std::get_if<Refusal>(&parsed)) {
            read.state = HeadRead::State::Refused;
            read.refusal = *refusal;
            return read;
        }
        read.state = HeadRead::State::Read;
        read.request = std::move(std::get<HttpRequest>(parsed));
        read.length = headEnd;
        return read;
    }
    // Judged while it arrives, so garbage and floods are refused early.
    switch (JudgeRequestStart(buffer)) {
    case GateVerdict::BadRequest:
        read.refusal = kMalformed;
        break;
    case GateVerdict::UriTooLong:
        read.refusal = kLineTooLong;
        break;
    case GateVerdict::NeedMore:
    case GateVerdict::Pass:
        if (buffer.size() <= kMaxRequestHead)
            return read;
        read.refusal = kHeadTooLarge;
        break;
    }
    read.state = HeadRead::State::Refused;
    return read;
}

GateVerdict JudgeRequestStart(QByteArrayView head)
{
    // Blank lines before a request are allowed by HTTP/1.1.
    const QByteArrayView rest = head.sliced(SkipBlankLines(head));
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
