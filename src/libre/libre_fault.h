#pragma once

namespace verz {

// Why a LibreTranslate call gave no usable translation. Every one of them
// sends the text the way it would go without the server.
enum class LibreFault {
    None,
    Unreachable,    // no connection, or it broke
    Timeout,        // no whole answer within the time it was given
    Redirected,     // 3xx: never followed, the texts stay with the server named
    TooBig,         // past kMaxLibreAnswer
    NotJson,        // an HTML error page from a proxy, say
    NoTranslation,  // JSON without a usable translatedText
    ShortList,      // fewer translations than texts sent
    BadRequest,     // 400 and other 4xx: this request, not the server
    KeyRefused,     // 403
    RateLimited,    // 429
    ServerError,    // 5xx
};

inline constexpr int kLibreFaultCount = int(LibreFault::ServerError) + 1;

// For the log: what went wrong, in a few words.
const char *LibreFaultText(LibreFault fault);

// The server as a whole is unwell: its pairs go elsewhere for a while. A
// refused request says nothing about the next one.
inline bool LibreFaultRestsServer(LibreFault fault)
{
    return fault != LibreFault::None && fault != LibreFault::BadRequest;
}

}  // namespace verz
