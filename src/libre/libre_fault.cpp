#include "libre/libre_fault.h"

namespace verz {

const char *LibreFaultText(LibreFault fault)
{
    switch (fault) {
    case LibreFault::None:
        return "answered";
    case LibreFault::Unreachable:
        return "cannot be reached";
    case LibreFault::Timeout:
        return "did not answer in time";
    case LibreFault::Redirected:
        return "redirects elsewhere (not followed)";
    case LibreFault::TooBig:
        return "sent an answer too big to read";
    case LibreFault::NotJson:
        return "answered something that is not JSON";
    case LibreFault::NoTranslation:
        return "answered JSON without translatedText";
    case LibreFault::ShortList:
        return "answered fewer translations than texts sent";
    case LibreFault::BadRequest:
        return "refused a request";
    case LibreFault::KeyRefused:
        return "refuses the API key";
    case LibreFault::RateLimited:
        return "is rate-limiting us";
    case LibreFault::ServerError:
        return "failed on its side";
    }
    return "failed";
}

}  // namespace verz
