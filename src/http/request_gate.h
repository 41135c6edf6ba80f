#pragma once

#include "http/http_request.h"
#include "http/http_responder.h"

#include <QByteArray>
#include <QByteArrayView>

#include <variant>

namespace verz {

// The longest request line the server reads; beyond it the answer is 414.
inline constexpr qsizetype kMaxRequestLine = 64 * 1024;
// The longest request head (request line and header fields) it reads;
// beyond it the answer is 431.
inline constexpr qsizetype kMaxRequestHead = kMaxRequestLine + 16 * 1024;
// More header fields than any browser sends.
inline constexpr qsizetype kMaxHeaderFields = 100;

enum class GateVerdict {
    NeedMore,    // looks like a request so far, the line is not complete yet
    Pass,        // a well-formed request line: the head parser takes it from here
    BadRequest,  // 400: not HTTP, or a target with broken %XX escapes
    UriTooLong,  // 414
};

// Judges the start of a request as it arrives on the connection, before its
// head is whole: garbage and a target with broken escapes are refused at
// once, with a status the client can read, rather than after a wait for a
// head that may never end.
GateVerdict JudgeRequestStart(QByteArrayView head);

// Where the head in bytes ends (just past its empty line), or -1 while it
// has not arrived whole. Blank lines before the request line are skipped.
qsizetype FindHeadEnd(QByteArrayView bytes);

// Reads a head as FindHeadEnd delimits it; a head it cannot serve comes back
// as the refusal owed (400, 414 or 431 with its text).
std::variant<HttpRequest, Refusal> ParseRequestHead(QByteArrayView head);

// What has arrived of a request so far, read as one: the head's end found,
// its start judged while the rest is awaited, the whole head parsed.
struct HeadRead {
    enum class State { NeedMore, Refused, Read } state = State::NeedMore;
    Refusal refusal{};     // when Refused
    HttpRequest request;   // when Read
    qsizetype length = 0;  // when Read: the bytes of buffer that were its head
};
HeadRead ReadRequestHead(QByteArrayView buffer);

}  // namespace verz
