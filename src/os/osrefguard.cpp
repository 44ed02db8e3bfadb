// Layout and guard words of reference blocks: the memory block's header words, then the reference
// count, then the head guard; the payload keeps the host allocator's alignment.
#include "os/osinternal.h"

namespace ostrum {

const GuardLayout& refGuardLayout() {
    static constexpr GuardLayout LAYOUT{sizeof(RefBlock), GuardConstants::REF_HEAD, GuardConstants::REF_TAIL};
    return LAYOUT;
}

}  // namespace ostrum
