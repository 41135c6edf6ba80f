#pragma once

#include <QByteArrayView>

namespace verz {

// The longest request line the service reads; beyond it the answer is 414.
inline constexpr qsizetype kMaxRequestLine = 64 * 1024;
// The longest request head (request line and header fields) it reads.
inline constexpr qsizetype kMaxRequestHead = kMaxRequestLine + 16 * 1024;

enum class GateVerdict {
    NeedMore,    // looks like a request so far, the line is not complete yet
    Pass,        // a well-formed request line: the HTTP library takes it from here
    BadRequest,  // 400: not HTTP, or a target with broken %XX escapes
    UriTooLong,  // 414
};

// Judges the start of a request as it arrives on the connection, before the
// HTTP library sees it. The library would drop garbage without an answer and
// quietly repair broken escapes, so both are refused here with a status the
// client can read.
GateVerdict JudgeRequestStart(QByteArrayView head);

}  // namespace verz
