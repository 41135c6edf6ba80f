#pragma once

#include <QByteArray>

#include <optional>

namespace verz::test {

// One HTTP answer as a client received it.
struct HttpAnswer {
    int status = 0;   // 0: the connection closed without an answer
    QByteArray head;  // status line and header fields, each ending in CR LF
    QByteArray body;
};

// The value of Content-Length in a message head, -1 when it has none.
qsizetype ContentLength(const QByteArray &head);

// Takes the first answer off the front of received once it is whole: its
// Content-Length says where it ends (a 204's head ends it), or the end of the
// connection (closed) when it has none. Once closed, an answer cut short keeps
// what arrived, as a HEAD answer is. Nothing while more is due.
std::optional<HttpAnswer> TakeHttpAnswer(QByteArray &received, bool closed);

}  // namespace verz::test
