#include "vel/xmlconnectionapi/ConnApiMessages.h"

#include <string_view>

namespace {

// Every number in its own row, in order, and every name once.
constexpr bool tableIsWhole() {
    for (std::int32_t i = 0; i < ConnApiMessages::COUNT; ++i) {
        if (ConnApiMessages::TABLE[i].command != i + 1) return false;
        for (std::int32_t j = 0; j < i; ++j) {
            if (std::string_view(ConnApiMessages::TABLE[i].name) == ConnApiMessages::TABLE[j].name)
                return false;
        }
    }
    return true;
}
static_assert(tableIsWhole());

}  // namespace
