#include "docs/member_passes.h"

namespace verz {

MemberPasses DocumentMemberPasses()
{
    return {};
}

}  // namespace verz
