#pragma once

#include <string>

#include "gui/orvik/Exception.h"

namespace orvik::test {

// Runs `action` and gives the message of the orvik::Exception it raised.
template <typename Action>
std::string raised(Action action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.what();
    }
    return "<nothing raised>";
}

}  // namespace orvik::test
